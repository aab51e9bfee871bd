#pragma once
// A fresh directory under the system's temporary directory for one test,
// removed with everything in it when the test ends; and whole-file helpers.

#include <string>

namespace zavrio::test {

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return path_; }
    // The path of name inside the directory.
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string operator/(const std::string& name) const { return file(name); }
    // Writes content to name inside the directory and gives its path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

// The file's bytes, or "" when it cannot be read.
std::string ReadFile(const std::string& path);
// A test's fixture file; throws std::runtime_error naming it when it is
// missing or unreadable.
std::string ReadFixture(const std::string& path);
// Replaces the file's bytes; throws std::runtime_error when that fails.
void WriteFile(const std::string& path, const std::string& content);

} // namespace zavrio::test
