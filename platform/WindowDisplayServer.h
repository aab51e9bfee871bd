#pragma once
// The display server the application's windows are on (DisplayServer.h), and
// a stand-in answer for tests (Qt).

#include "platform/DisplayServer.h"

#include <optional>

namespace zavrio {

// From Qt's platform plugin; None before the application exists. A
// FakeWindowDisplayServer's answer while one lives.
DisplayServer WindowDisplayServer();

// While it lives, WindowDisplayServer() gives answer instead, so a test on
// the offscreen platform (or under an X server) sees what the program would
// do on another display server; the answer before it comes back when it
// goes. GUI thread only.
class FakeWindowDisplayServer {
public:
    explicit FakeWindowDisplayServer(DisplayServer answer);
    ~FakeWindowDisplayServer();
    FakeWindowDisplayServer(const FakeWindowDisplayServer&) = delete;
    FakeWindowDisplayServer& operator=(const FakeWindowDisplayServer&) = delete;

private:
    std::optional<DisplayServer> previous_;
};

} // namespace zavrio
