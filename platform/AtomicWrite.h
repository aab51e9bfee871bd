#pragma once
// Whole-file replacement that never leaves a half-written file behind: the
// content goes to "<path>.tmp" beside the target, is flushed to disk and then
// renamed over the target. An existing target keeps its permission bits; when
// the path is a symbolic link, the file it points to is replaced.

#include <stdexcept>
#include <string>

namespace zavrio {

// Throws std::runtime_error naming the path and the system's reason when the
// temporary file cannot be written or renamed; the target is then unchanged.
void WriteFileAtomically(const std::string& path, const std::string& content);

} // namespace zavrio
