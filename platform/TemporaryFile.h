#pragma once
// A file written under a temporary name until it replaces its target: the
// guard removes it on every path that does not end in Commit.

#include <string>
#include <unistd.h>
#include <utility>

namespace zavrio {

class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }

    // The file has been renamed into place: nothing is left to remove.
    void Commit() { path_.clear(); }

private:
    std::string path_;
};

} // namespace zavrio
