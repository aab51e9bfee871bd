#include "DisplayCheck.h"

#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace zavrio {

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Empty when the X server named by DISPLAY accepts a connection; else why not.
std::string xProblem() {
    const std::string display = env("DISPLAY");
    if (display.empty())
        return "DISPLAY is not set";
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers ? "" : "the X display \"" + display + "\" cannot be opened";
}

bool socketAccepts(const std::string& path) {
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool accepted =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return accepted;
}

// The same look-up as the Wayland client library's.
std::string waylandProblem() {
    std::string name = env("WAYLAND_DISPLAY");
    if (name.empty())
        name = "wayland-0";
    std::string path = name;
    if (name[0] != '/') {
        const std::string runtime = env("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return "no Wayland socket (XDG_RUNTIME_DIR is not set)";
        path = runtime + "/" + name;
    }
    return socketAccepts(path) ? "" : "no Wayland socket at " + path;
}

} // namespace

std::string PrepareDisplay() {
    const std::string platform = env("QT_QPA_PLATFORM");
    if (!platform.empty() && platform.find("xcb") == std::string::npos &&
        platform.find("wayland") == std::string::npos)
        return "";
    const std::string x = xProblem();
    const std::string wayland = waylandProblem();
    if (!x.empty() && !wayland.empty())
        return "no display to open a window on: " + x + ", and " + wayland;
    if (platform.empty() && x.empty() != wayland.empty())
        ::setenv("QT_QPA_PLATFORM", x.empty() ? "xcb" : "wayland", 1);
    return "";
}

} // namespace zavrio
