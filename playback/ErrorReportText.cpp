#include "playback/ErrorReportText.h"

namespace zavrio {

std::string ErrorReportText(const std::string& message) {
    // Compared as unsigned bytes, so a text ending in a UTF-8 sequence gets a period too.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

} // namespace zavrio
