#include "app/MainWindowFactory.h"
#include "app/ScreensaverMode.h"

#include <QApplication>
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
    return QApplication::exec();
}
