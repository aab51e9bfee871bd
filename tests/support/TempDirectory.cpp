#include "TempDirectory.h"

#include "platform/FileRead.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace zavrio::test {

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zavrio-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDirectory::write(const std::string& name, const std::string& content) const {
    WriteFile(file(name), content);
    return file(name);
}

std::string ReadFile(const std::string& path) {
    try {
        return ReadWholeFile(path).value_or("");
    } catch (const FileReadError&) {
        return "";
    }
}

std::string ReadFixture(const std::string& path) {
    try {
        if (std::optional<std::string> content = ReadWholeFile(path))
            return *content;
    } catch (const FileReadError& e) {
        throw std::runtime_error("cannot read fixture " + path + ": " + e.Reason());
    }
    throw std::runtime_error("cannot open fixture " + path);
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

} // namespace zavrio::test
