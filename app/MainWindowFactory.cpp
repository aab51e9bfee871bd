#include "MainWindowFactory.h"

#include "config/TZRConfigForm.h"
#include "playback/TZRRunForm.h"

#include <cstdio>

namespace zavrio {

std::unique_ptr<QWidget> CreateMainWindow(int mode) {
    switch (mode) {
    case 1:
    case 2: {
        auto window = std::make_unique<TZRConfigForm>();
        window->show();
        return window;
    }
    case 3: {
        auto window = std::make_unique<TZRRunForm>();
        window->show();
        return window;
    }
    default:
        std::fprintf(stderr,
                     "zavrio-screensaver: mode %d has no window in this build yet; "
                     "run with /s for the full-screen screensaver, and use zavrio-feeds to "
                     "inspect or change the settings\n",
                     mode);
        return nullptr;
    }
}

} // namespace zavrio
