// The INI parser with a write-and-read-back check: whatever text is parsed,
// writing it out and parsing that again must give the same text and the same
// values for every key of every section.
#include "settings/MemIniFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using zavrio::TMemIniFile;

// Section names as the written text shows them: every "[name]" line.
std::vector<std::string> sectionNames(const std::string& written) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < written.size()) {
        std::size_t end = written.find("\r\n", pos);
        if (end == std::string::npos)
            end = written.size();
        if (end - pos >= 2 && written[pos] == '[' && written[end - 1] == ']')
            names.push_back(written.substr(pos + 1, end - pos - 2));
        pos = end + 2;
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TMemIniFile first = TMemIniFile::FromText("fuzz.ini", text);
    const std::string written = first.Serialize();
    const TMemIniFile second = TMemIniFile::FromText("fuzz.ini", written);
    if (second.Serialize() != written)
        __builtin_trap();

    for (const std::string& name : sectionNames(written)) {
        const auto pairs = first.ReadSectionPairs(name);
        if (pairs != second.ReadSectionPairs(name))
            __builtin_trap();
        for (const auto& [key, value] : pairs) {
            if (second.ReadString(name, key, "\x01") != value)
                __builtin_trap();
            if (first.ReadInteger(name, key, 7) != second.ReadInteger(name, key, 7) ||
                first.ReadBool(name, key, true) != second.ReadBool(name, key, true))
                __builtin_trap();
        }
    }
    return 0;
}
