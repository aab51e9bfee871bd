#include "feed/XMLErrors.h"

namespace zavrio {

EDOMParseError::EDOMParseError(std::string reason, int line, std::string srcText)
    : std::runtime_error(reason + "\r\n" + "Line" + ": " + std::to_string(line) + "\r\n" + srcText),
      reason_(std::move(reason)), line_(line), srcText_(std::move(srcText)) {}

} // namespace zavrio
