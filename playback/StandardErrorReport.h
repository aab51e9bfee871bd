#pragma once
// The application's standard error report, shared by every window: a modal
// critical message box titled with the application's title (ErrorReportTitle)
// showing the text with the final-period rule (ErrorReportText). Windows take
// it as an ErrorReporter so tests can record the reports instead.

#include <functional>
#include <string>

class QWidget;

namespace zavrio {

// Shows text (the final period not yet added) as the standard error report.
using ErrorReporter = std::function<void(const std::string& text)>;

// The real report, its box owned by owner while it is up.
ErrorReporter StandardErrorReport(QWidget* owner);

} // namespace zavrio
