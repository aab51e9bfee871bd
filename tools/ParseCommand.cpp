#include "tools/ParseCommand.h"

#include "feed/SimpleRSS.h"
#include "feed/XMLInputLimits.h"
#include "platform/FileRead.h"
#include "tools/FeedHeap.h"
#include "tools/FeedJson.h"
#include "tools/ToolOptions.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <sys/stat.h>

namespace zavrio {

namespace {

// The whole file, or false after telling stderr why it cannot be read. A
// file over the document limit is refused before it is read: a document
// that large is no feed, and holding it would only cost memory.
bool readFile(const std::string& path, std::string& bytes) {
    std::string reason;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uint64_t>(info.st_size) > MaxDocumentBytes) {
        reason = std::to_string(info.st_size) + " bytes exceed the limit of " +
                 std::to_string(MaxDocumentBytes) + " bytes for a feed document";
    } else {
        try {
            if (std::optional<std::string> content = ReadWholeFile(path)) {
                bytes = std::move(*content);
                return true;
            }
            reason = std::strerror(ENOENT);
        } catch (const FileReadError& e) {
            reason = e.Reason();
        }
    }
    std::cerr << "zavrio-feeds parse: cannot read '" << path << "': " << reason << '\n';
    return false;
}

} // namespace

int runParseCommand(const std::vector<std::string>& args) {
    if (args.size() != 1)
        throw UsageError(args.empty() ? "missing FILE" : "unexpected argument '" + args[1] + "'");
    const std::string& path = args[0];

    TuneHeapForFeedLoad();
    std::string bytes;
    if (!readFile(path, bytes))
        return 1;

    TSimpleRSS rss;
    std::string error;
    bool failed = false;
    try {
        // The bytes were read first so that a read error is reported as such
        // rather than as a malformed document.
        // The load takes the stream's text over and releases it once the
        // parser has its copy.
        std::istringstream stream(std::move(bytes));
        rss.LoadFromStream(stream);
    } catch (const std::exception& e) {
        error = e.what();
        failed = true;
    }
    WriteFeedJson(std::cout, rss, failed ? &error : nullptr);
    std::cout << '\n';
    return failed ? 1 : 0;
}

} // namespace zavrio
