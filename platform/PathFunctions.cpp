#include "PathFunctions.h"

#include "platform/TextFunctions.h"

#include <climits>
#include <stdexcept>
#include <unistd.h>

namespace zavrio {

namespace {

const char* const kDelimiters = "/\\:";

std::string lastComponent(const std::string& path) {
    auto at = path.find_last_of(kDelimiters);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string extensionOf(const std::string& path) {
    std::string name = lastComponent(path);
    auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

} // namespace

std::string FileNameWithoutExt(const std::string& path) {
    std::string name = lastComponent(path);
    std::string ext = extensionOf(path);
    // The cut is at the first occurrence of the extension: "a.scr.scr" gives "a".
    if (!ext.empty())
        name = name.substr(0, name.find(ext));
    return name;
}

std::string ShortFileName(const std::string& path) {
    std::string name = FileNameWithoutExt(path);
    std::string ext = extensionOf(path);
    if (name.find(' ') != std::string::npos) {
        name = DeleteChars(name, " ");
        if (name.size() <= 8)
            return name + "~1" + ext;
        return name.substr(0, 6) + "~1" + ext;
    }
    if (name.size() <= 8)
        return name + ext;
    return name.substr(0, 6) + "~1" + ext;
}

std::string ProgramFile() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        throw std::runtime_error("Cannot determine the program's own path from /proc/self/exe");
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string ProgramDirectory() {
    const std::string path = ProgramFile();
    return path.substr(0, path.find_last_of('/') + 1);
}

} // namespace zavrio
