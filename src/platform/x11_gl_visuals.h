#pragma once

#include <cstdint>
#include <vector>

struct xcb_connection_t;

// A visual that the X server's GLX offers OpenGL with, as GLX describes it.
struct GlVisual {
    std::uint32_t id = 0;
    int screen = 0;
    int depth = 0;  // the X visual's depth
    bool doubleBuffered = false;
    int colourBits = 0;  // red, green, blue and alpha together
    int depthBits = 0;
    int stencilBits = 0;
    int samples = 0;  // 0 where not multisampled
};

// The OpenGL visuals of every screen, in the order in which Xlib lists the
// visuals of the server (screen by screen, depth by depth). Read over the X
// protocol (GLX's GetVisualConfigs), so that no GL driver is loaded for it.
std::vector<GlVisual> glVisuals(xcb_connection_t* server);
