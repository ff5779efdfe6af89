#include "x11_gl_visuals.h"

#include <xcb/glx.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace {

// GetVisualConfigs gives each visual as a fixed list of 18 values, then
// pairs of an attribute and its value.
enum Fixed { VisualId, Class, Rgba, Red, Green, Blue, Alpha, AccumRed, AccumGreen, AccumBlue, AccumAlpha,
             DoubleBuffer, Stereo, BufferSize, DepthSize, StencilSize, AuxBuffers, Level, fixedCount };
constexpr std::uint32_t sampleBuffersAttribute = 100000;  // GLX_SAMPLE_BUFFERS
constexpr std::uint32_t samplesAttribute = 100001;        // GLX_SAMPLES

// The GL visuals of one screen by their ID; none where GLX does not answer.
std::map<std::uint32_t, GlVisual> configsOfScreen(xcb_connection_t* server, int screen)
{
    std::map<std::uint32_t, GlVisual> found;
    const std::unique_ptr<xcb_glx_get_visual_configs_reply_t, void (*)(void*)> reply(
        xcb_glx_get_visual_configs_reply(server, xcb_glx_get_visual_configs(server, static_cast<uint32_t>(screen)),
                                         nullptr),
        std::free);
    if (!reply || reply->num_properties < fixedCount)
        return found;
    const std::uint32_t* values = xcb_glx_get_visual_configs_property_list(reply.get());
    const auto length = static_cast<std::uint32_t>(xcb_glx_get_visual_configs_property_list_length(reply.get()));
    for (std::uint32_t at = 0; at + reply->num_properties <= length; at += reply->num_properties) {
        const std::uint32_t* const config = values + at;
        GlVisual visual;
        visual.id = config[VisualId];
        visual.screen = screen;
        visual.doubleBuffered = config[DoubleBuffer] != 0;
        visual.colourBits = static_cast<int>(config[Red] + config[Green] + config[Blue] + config[Alpha]);
        visual.depthBits = static_cast<int>(config[DepthSize]);
        visual.stencilBits = static_cast<int>(config[StencilSize]);
        bool multisampled = false;
        for (std::uint32_t pair = fixedCount; pair + 1 < reply->num_properties; pair += 2) {
            if (config[pair] == sampleBuffersAttribute)
                multisampled = config[pair + 1] != 0;
            else if (config[pair] == samplesAttribute)
                visual.samples = static_cast<int>(config[pair + 1]);
        }
        if (!multisampled)
            visual.samples = 0;
        found[visual.id] = visual;
    }
    return found;
}

}  // namespace

std::vector<GlVisual> glVisuals(xcb_connection_t* server)
{
    std::vector<GlVisual> visuals;
    int screen = 0;
    for (auto roots = xcb_setup_roots_iterator(xcb_get_setup(server)); roots.rem > 0;
         xcb_screen_next(&roots), ++screen) {
        const std::map<std::uint32_t, GlVisual> configs = configsOfScreen(server, screen);
        for (auto depths = xcb_screen_allowed_depths_iterator(roots.data); depths.rem > 0;
             xcb_depth_next(&depths)) {
            for (auto types = xcb_depth_visuals_iterator(depths.data); types.rem > 0; xcb_visualtype_next(&types)) {
                if (const auto config = configs.find(types.data->visual_id); config != configs.end()) {
                    visuals.push_back(config->second);
                    visuals.back().depth = depths.data->depth;
                }
            }
        }
    }
    return visuals;
}
