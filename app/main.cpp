#include "app/DisplayCheck.h"
#include "app/MainWindowFactory.h"
#include "app/ScreensaverMode.h"
#include "app/TerminationSignals.h"
#include "platform/HeapMemory.h"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    zavrio::LimitHeapArenas();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (const auto answer = zavrio::CommandLineAnswer(args)) {
        std::fputs(answer->c_str(), stdout);
        return 0;
    }
    zavrio::ParseCommandLine(args);
    if (zavrio::ScreensaverMode == 5)
        return 0; // changing the password needs no window, so no message loop either
    if (const std::string missing = zavrio::PrepareDisplay(); !missing.empty()) {
        std::fprintf(stderr, "zavrio-screensaver: %s\n", missing.c_str());
        return 1;
    }

    QApplication app(argc, argv);
    // Qt sets the locale from the environment; the player library refuses to
    // start unless numbers are read and written the C way.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Zavrio Video Screensaver");
    zavrio::EndOnTerminationSignals();
    std::unique_ptr<QWidget> window = zavrio::CreateMainWindow(zavrio::ScreensaverMode, args);
    if (!window)
        return 1;
    const int status = QApplication::exec();

    // Everything the program owes the user is done when its main window
    // closes (also when a termination signal closed it): the playback window
    // has given back the mute and the cursor, and the configuration window
    // has saved the options.
    // Tearing down Qt, OpenGL and the media libraries after that only keeps
    // the screensaver's process alive for tens of milliseconds more.
    std::fflush(nullptr);
    std::_Exit(status);
}
