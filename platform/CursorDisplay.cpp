#include "CursorDisplay.h"

#include <QCursor>
#include <QGuiApplication>

namespace zavrio {

namespace {
int counter = 0;
// Whether our blank override cursor is on the application's stack, so it is
// removed exactly once even when the counter moved without an application.
bool blankInstalled = false;
} // namespace

int ShowCursor(bool show) {
    counter += show ? 1 : -1;
    if (qGuiApp == nullptr)
        return counter;
    const bool wantBlank = counter < 0;
    if (wantBlank && !blankInstalled) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        blankInstalled = true;
    } else if (!wantBlank && blankInstalled) {
        QGuiApplication::restoreOverrideCursor();
        blankInstalled = false;
    }
    return counter;
}

} // namespace zavrio
