#include "app/DisplayCheck.h"

#include "TempDirectory.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace zavrio;

namespace {

// A Unix socket at path; listening (a compositor that accepts) or not (the
// file a compositor that ended left behind).
class Socket {
public:
    Socket(const std::string& path, bool listening) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
        if (listening) {
            EXPECT_EQ(::listen(fd_, 1), 0);
        }
    }
    ~Socket() { ::close(fd_); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

private:
    int fd_;
};

// Sets or unsets the variables a row names, and puts back what was there.
class Environment {
public:
    void set(const char* name, const std::optional<std::string>& value) {
        const char* before = std::getenv(name);
        saved_.push_back({name, before ? std::optional<std::string>(before) : std::nullopt});
        apply(name, value);
    }
    ~Environment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            apply(it->first, it->second);
    }

private:
    static void apply(const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

} // namespace

TEST(DisplayCheck, NamesWhatIsMissingAndPointsQtAtWhatIsThere) {
    zavrio::test::TempDirectory dir;
    const std::string runtime = dir.path();
    Socket compositor(runtime + "/wayland-0", true);
    Socket other(runtime + "/elsewhere", true);
    Socket stale(runtime + "/wayland-9", false);
    // No X server listens on this display number: its socket does not exist.
    const std::string deadDisplay = ":" + std::to_string(6000 + ::getpid() % 1000);

    struct Row {
        const char* what;
        std::optional<std::string> platform, display, waylandDisplay, runtimeDir;
        std::string expected;                     // "" when a window can be opened
        std::optional<std::string> platformAfter; // QT_QPA_PLATFORM afterwards
    };
    const std::string none = "no display to open a window on: ";
    const Row rows[] = {
        {"nothing at all", std::nullopt, std::nullopt, "wayland-1", runtime,
         none + "DISPLAY is not set, and no Wayland socket at " + runtime + "/wayland-1",
         std::nullopt},
        {"a dead X display", std::nullopt, deadDisplay, "wayland-1", runtime,
         none + "the X display \"" + deadDisplay +
             "\" cannot be opened, and no Wayland socket at " + runtime + "/wayland-1",
         std::nullopt},
        {"no runtime folder", std::nullopt, std::nullopt, std::nullopt, std::nullopt,
         none + "DISPLAY is not set, and no Wayland socket (XDG_RUNTIME_DIR is not set)",
         std::nullopt},
        // A socket file whose compositor has gone does not count.
        {"a stale socket", std::nullopt, std::nullopt, "wayland-9", runtime,
         none + "DISPLAY is not set, and no Wayland socket at " + runtime + "/wayland-9",
         std::nullopt},
        // Only Wayland answers: Qt is told, whatever the session type says.
        {"the default Wayland socket", std::nullopt, std::nullopt, std::nullopt, runtime, "",
         "wayland"},
        {"a Wayland socket by path", std::nullopt, deadDisplay, runtime + "/elsewhere",
         std::nullopt, "", "wayland"},
        // A platform the user chose is left alone.
        {"Wayland with a chosen platform", "wayland;xcb", std::nullopt, std::nullopt, runtime, "",
         "wayland;xcb"},
        {"a platform that needs no display", "offscreen", std::nullopt, std::nullopt, std::nullopt,
         "", "offscreen"},
        {"xcb without a display", "xcb", std::nullopt, "wayland-1", runtime,
         none + "DISPLAY is not set, and no Wayland socket at " + runtime + "/wayland-1", "xcb"},
    };
    for (const Row& row : rows) {
        Environment environment;
        environment.set("QT_QPA_PLATFORM", row.platform);
        environment.set("DISPLAY", row.display);
        environment.set("WAYLAND_DISPLAY", row.waylandDisplay);
        environment.set("XDG_RUNTIME_DIR", row.runtimeDir);
        EXPECT_EQ(PrepareDisplay(), row.expected) << row.what;
        const char* after = std::getenv("QT_QPA_PLATFORM");
        EXPECT_EQ(after ? std::optional<std::string>(after) : std::nullopt, row.platformAfter)
            << row.what;
    }
}
