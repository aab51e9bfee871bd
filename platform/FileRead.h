#pragma once
// Reading a whole file into memory. Only regular files are read: a FIFO, a
// device or a directory is refused at once (opening a FIFO for reading would
// otherwise wait for a writer for ever).

#include <optional>
#include <stdexcept>
#include <string>

namespace zavrio {

// The file could not be opened or read. what() is "Cannot read PATH: REASON";
// Reason() is the system's text ("Is a directory", "Not a regular file" for
// FIFOs and devices), for callers whose messages are fixed.
class FileReadError : public std::runtime_error {
public:
    FileReadError(const std::string& path, const std::string& reason);
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// The bytes of the file at path; std::nullopt when there is no such file
// (ENOENT). Any other failure throws FileReadError.
std::optional<std::string> ReadWholeFile(const std::string& path);

} // namespace zavrio
