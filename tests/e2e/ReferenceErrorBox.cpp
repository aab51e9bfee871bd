// Shows the error box the screensaver should show for a text, the way the
// application's standard error report draws it, so a whole-program test can
// compare the two pictures pixel for pixel:
//   zavrio_e2e_error_box "HTTP/1.1 404 Not Found."
// The box stays until the test closes it.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    // The playback window owns its error box, and the box takes that
    // window's font.
    QWidget owner;
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    owner.setFont(font);
    QMessageBox box(QMessageBox::Critical, "Zavrio Video Screensaver", QString::fromUtf8(argv[1]),
                    QMessageBox::Ok, &owner);
    return box.exec();
}
