#include "WindowFunctions.h"

#include "platform/X11Connection.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zavrio {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Before the first map the window manager reads the property instead of
// listening for requests.
void writeUnmappedState(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t state,
                        xcb_atom_t above, bool on) {
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32) {
        auto* first = static_cast<xcb_atom_t*>(xcb_get_property_value(reply.get()));
        atoms.assign(first, first + xcb_get_property_value_length(reply.get()) / 4);
    }
    std::erase(atoms, above);
    if (on)
        atoms.push_back(above);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
}

} // namespace

void SetTopmost(WId window, bool on) {
    if (window == 0)
        return;
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr)
        return;
    const auto target = static_cast<xcb_window_t>(window);

    XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, target), nullptr));
    XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, target), nullptr));
    if (!geometry || !attributes)
        return; // no such window
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t above = atom(connection, "_NET_WM_STATE_ABOVE");
    if (state == XCB_ATOM_NONE || above == XCB_ATOM_NONE)
        return;

    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED)
        writeUnmappedState(connection, target, state, above, on);

    constexpr std::uint32_t kRemove = 0, kAdd = 1, kSourceApplication = 1;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = target;
    message.type = state;
    message.data.data32[0] = on ? kAdd : kRemove;
    message.data.data32[1] = above;
    message.data.data32[2] = 0;
    message.data.data32[3] = kSourceApplication;
    xcb_send_event(connection, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

} // namespace zavrio
