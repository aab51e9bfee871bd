#include "MainWindowFactory.h"

#include "app/ScreensaverMode.h"
#include "app/TZRPreviewForm.h"
#include "config/TZRConfigForm.h"
#include "platform/WindowDisplayServer.h"
#include "playback/TZRRunForm.h"

#include <cstdio>
#include <cstdlib>

namespace zavrio {

namespace {

// Window ids of other programs are X11's; elsewhere there is no such window
// to draw in, so the request ends the program with a line saying why.
bool refusedWithoutX11(const char* what) {
    const DisplayServer server = WindowDisplayServer();
    if (server == DisplayServer::X11)
        return false;
    std::fprintf(stderr, "zavrio-screensaver: %s needs X11, and this display is %s\n", what,
                 DisplayServerName(server));
    return true;
}

std::unique_ptr<QWidget> createRunForm(const std::vector<std::string>& args) {
    const EmbeddingWindow daemon = FindEmbeddingWindow(args, std::getenv("XSCREENSAVER_WINDOW"));
    if (!daemon.Error.empty()) {
        std::fprintf(stderr, "zavrio-screensaver: %s\n", daemon.Error.c_str());
        return nullptr;
    }
    if (daemon.Id != 0 && refusedWithoutX11(("the window id given by " + daemon.Source).c_str()))
        return nullptr;
    auto window = std::make_unique<TZRRunForm>();
    if (daemon.Id != 0 && !window->EmbedIn(daemon.Id)) {
        std::fprintf(stderr, "zavrio-screensaver: the window 0x%llx given by %s does not exist\n",
                     static_cast<unsigned long long>(daemon.Id), daemon.Source.c_str());
        return nullptr;
    }
    window->show();
    return window;
}

std::unique_ptr<QWidget> createPreviewForm() {
    if (ParentWindowHandle != 0 && refusedWithoutX11("the preview pane /p ID"))
        return nullptr;
    auto window = std::make_unique<TZRPreviewForm>(ParentWindowHandle);
    if (!window->IsPlaced()) {
        std::fprintf(stderr, "zavrio-screensaver: the preview pane 0x%llx does not exist\n",
                     static_cast<unsigned long long>(ParentWindowHandle));
        return nullptr;
    }
    window->show();
    return window;
}

} // namespace

std::unique_ptr<QWidget> CreateMainWindow(int mode, const std::vector<std::string>& args) {
    switch (mode) {
    case 1:
    case 2: {
        auto window = std::make_unique<TZRConfigForm>();
        window->show();
        return window;
    }
    case 3:
        return createRunForm(args);
    case 4:
        return createPreviewForm();
    default:
        std::fprintf(stderr, "zavrio-screensaver: mode %d has no window\n", mode);
        return nullptr;
    }
}

} // namespace zavrio
