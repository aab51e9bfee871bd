#pragma once
// Creates and shows the one window of a mode; it becomes the main window, and
// the program ends when it closes.

#include <QWidget>
#include <memory>

namespace zavrio {

// Null when the mode has no window in this build; the reason is then printed
// to standard error.
std::unique_ptr<QWidget> CreateMainWindow(int mode);

} // namespace zavrio
