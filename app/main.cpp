#include "app/MainWindowFactory.h"
#include "app/ScreensaverMode.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    zavrio::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (zavrio::ScreensaverMode == 5)
        return 0; // changing the password needs no window, so no message loop either

    QApplication app(argc, argv);
    QApplication::setApplicationName("Zavrio Video Screensaver");
    std::unique_ptr<QWidget> window = zavrio::CreateMainWindow(zavrio::ScreensaverMode);
    if (!window)
        return 1;
    const int status = QApplication::exec();

    // Everything the program owes the user is done when its main window
    // closes: the mute and the cursor are restored and the settings saved.
    // Tearing down Qt, OpenGL and the media libraries after that only keeps
    // the screensaver's process alive for tens of milliseconds more.
    std::fflush(nullptr);
    std::_Exit(status);
}
