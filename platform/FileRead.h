#pragma once
// Reading a whole file into memory.

#include <optional>
#include <stdexcept>
#include <string>

namespace zavrio {

// The file could not be opened or read. what() names the path and the
// system's reason; Errno() is the system's error number, for callers whose
// messages are fixed.
class FileReadError : public std::runtime_error {
public:
    FileReadError(const std::string& path, int error);
    int Errno() const { return errno_; }

private:
    int errno_;
};

// The bytes of the file at path; std::nullopt when there is no such file
// (ENOENT). Any other failure throws FileReadError.
std::optional<std::string> ReadWholeFile(const std::string& path);

} // namespace zavrio
