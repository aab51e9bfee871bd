#pragma once
// The text of the application's standard error report.

#include <string>

namespace zavrio {

// The title of every error box: the application's title.
inline constexpr const char* ErrorReportTitle = "Zavrio Video Screensaver";

// message with a "." appended when its last character's code sorts after
// "." (so a text ending in a letter or digit gets one, "?" or "!" too); an
// empty text stays empty.
std::string ErrorReportText(const std::string& message);

} // namespace zavrio
