#pragma once
// Reads one HTTP/1.1 answer from a ByteSource: the status line, the header
// block and the body in its framing, decided as RFC 9112 section 6.3 says:
//   - no body for 1xx, 204 and 304 answers; interim 1xx answers are skipped;
//   - a Transfer-Encoding whose last coding is chunked: a chunked body (any
//     Content-Length is ignored, and the source is not reused afterwards);
//     another Transfer-Encoding: the body runs until the peer closes;
//   - otherwise Content-Length: every value (several headers, or a list)
//     must be the same plain decimal number, else ProtocolError;
//   - otherwise the body runs until the peer closes.
//
// Lines end in LF or CR LF and may hold at most MaxLineLength bytes
// (LineTooLong beyond). The status lines and headers of one answer, interim
// answers included, and the trailer of a chunked body may each take at most
// MaxHeaderBytes and MaxHeaderLines (HeaderTooLarge beyond). A peer that
// closes before a line is complete, or before a kept body is complete, gives
// ConnectionClosed; a wait that times out gives HttpError "Read timed out.".
// Bodies over MaxBodySize fail with BodyTooLarge when kept; a dropped body
// is only left unread.

#include "http/ByteSource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zavrio {

struct HttpHeaders {
    // In arrival order, names lower-cased, values trimmed; a folded
    // continuation line is joined to its header with one space.
    std::vector<std::pair<std::string, std::string>> items;

    const std::string* Find(const std::string& lowerName) const;
    // The value, or "" when absent.
    std::string Value(const std::string& lowerName) const;
};

struct ResponseHead {
    std::string statusLine;
    int code = -1; // -1 when the status line carries no three-digit code
    bool http10 = false;
    HttpHeaders headers;
};

struct ResponseLimits {
    std::size_t MaxLineLength = 16384;
    std::uint64_t MaxBodySize = std::uint64_t{64} << 20;
    std::size_t MaxHeaderBytes = 256 * 1024;
    std::size_t MaxHeaderLines = 1000;
};

// Progress while a body is read. Any of them may be empty; an exception
// thrown by one ends the read and passes through.
struct ResponseEvents {
    std::function<void(std::int64_t expected)> WorkBegin; // each counted part
    std::function<void(std::int64_t count)> Work;         // bytes so far
    std::function<void()> ChunkStarted;                   // a chunked body begins
};

class ResponseReader {
public:
    ResponseReader(ByteSource& source, ResponseLimits limits, ResponseEvents events = {});

    // The next line without its line end. limitMs as for ByteSource::Fill.
    std::string ReadLine(int limitMs);

    // The status line (empty lines before it are skipped) and the header
    // block of the final answer; interim (1xx) answers are skipped.
    ResponseHead ReadHead();

    // Reads the body that head announces into sink, or drops it when sink is
    // null. Returns false when the source is out of step afterwards (the body
    // ended early, timed out or was left unread), so it must not be reused.
    bool ReadBody(const ResponseHead& head, std::string* sink, int limitMs);

private:
    // Counts one line of a header block or trailer against the limits.
    struct HeaderBudget {
        std::size_t bytes = 0;
        std::size_t lines = 0;
    };
    std::string ReadHeaderLine(HeaderBudget& budget);
    void ReadChunked(std::string* sink, int limitMs);
    std::uint64_t ReadCounted(std::uint64_t want, std::string* sink, int limitMs);
    void ReadUntilClose(std::string* sink, int limitMs);
    void Work(std::uint64_t count);
    void WorkBegin(std::int64_t expected);

    ByteSource& source_;
    ResponseLimits limits_;
    ResponseEvents events_;
    FillResult lastFill_ = FillResult::Data;
    bool inStep_ = true;
};

} // namespace zavrio
