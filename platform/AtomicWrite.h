#pragma once
// Whole-file replacement that never leaves a half-written file behind: the
// content goes to "<path>.tmp" beside the target, is flushed to disk and then
// renamed over the target. An existing target keeps its permission bits; when
// the path is a symbolic link, the file it points to is replaced.

#include <stdexcept>
#include <string>

namespace zavrio {

// The temporary file could not be written or renamed; the target is unchanged.
// The message names the path, the step and the system's reason; Errno() is the
// system's error number, for callers with messages of their own.
class AtomicWriteError : public std::runtime_error {
public:
    AtomicWriteError(const std::string& message, int error)
        : std::runtime_error(message), errno_(error) {}
    int Errno() const { return errno_; }

private:
    int errno_;
};

void WriteFileAtomically(const std::string& path, const std::string& content);

} // namespace zavrio
