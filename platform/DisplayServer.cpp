#include "platform/DisplayServer.h"

#include <cstdlib>

namespace zavrio {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

DisplayServer SessionDisplayServer() {
    if (isSet("WAYLAND_DISPLAY"))
        return DisplayServer::Wayland;
    if (isSet("DISPLAY"))
        return DisplayServer::X11;
    return DisplayServer::None;
}

DisplayServer DisplayServerOfPlatform(std::string_view platformName) {
    if (platformName.empty())
        return DisplayServer::None;
    if (platformName == "xcb")
        return DisplayServer::X11;
    if (platformName == "wayland" || platformName.starts_with("wayland-"))
        return DisplayServer::Wayland;
    return DisplayServer::Other;
}

const char* DisplayServerName(DisplayServer server) {
    switch (server) {
    case DisplayServer::X11:
        return "X11";
    case DisplayServer::Wayland:
        return "Wayland";
    case DisplayServer::Other:
        return "other";
    case DisplayServer::None:
        break;
    }
    return "none";
}

} // namespace zavrio
