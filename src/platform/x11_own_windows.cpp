#include "x11_own_windows.h"

#include <xcb/res.h>

#include <cstdlib>
#include <memory>

namespace {

// The process id that the server reports for the client that owns the
// resource id `resource` (which need not name a resource yet); 0 where it
// reports none.
std::uint32_t processOfClient(xcb_connection_t* connection, std::uint32_t resource)
{
    const xcb_res_client_id_spec_t whose{resource, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    const std::unique_ptr<xcb_res_query_client_ids_reply_t, void (*)(void*)> reply(
        xcb_res_query_client_ids_reply(connection, xcb_res_query_client_ids(connection, 1, &whose), nullptr),
        std::free);
    if (!reply)
        return 0;
    for (auto ids = xcb_res_query_client_ids_ids_iterator(reply.get()); ids.rem > 0;
         xcb_res_client_id_value_next(&ids)) {
        if ((ids.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
            xcb_res_client_id_value_value_length(ids.data) == 1)
            return *xcb_res_client_id_value_value(ids.data);
    }
    return 0;
}

}  // namespace

std::optional<std::uint32_t> thisProcessAsTheServerKnowsIt(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* const resource = xcb_get_extension_data(connection, &xcb_res_id);
    if (!resource || !resource->present)
        return std::nullopt;
    // The connection's own range of resource ids names it.
    const std::uint32_t process = processOfClient(connection, xcb_get_setup(connection)->resource_id_base);
    return process != 0 ? std::optional<std::uint32_t>(process) : std::nullopt;
}

bool madeByProcess(xcb_connection_t* connection, xcb_window_t window, std::uint32_t process)
{
    return processOfClient(connection, window) == process;
}
