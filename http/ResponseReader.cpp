#include "http/ResponseReader.h"

#include "http/HttpErrors.h"
#include "http/HttpText.h"
#include "platform/TextToolkit.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace zavrio {

namespace {

bool allDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// -1 when absent or not a plain non-negative number.
std::int64_t contentLength(const HttpHeaders& headers) {
    const std::string* v = headers.Find("content-length");
    if (!v)
        return -1;
    const std::string t = HttpTrim(*v);
    if (t.empty() || t.size() > 18 || !allDigits(t))
        return -1;
    return std::stoll(t);
}

int parseStatusCode(const std::string& line) {
    const auto sp = line.find(' ');
    if (line.rfind("HTTP/", 0) != 0 || sp == std::string::npos)
        return -1;
    const std::string code = line.substr(sp + 1, 3);
    if (code.size() != 3 || !allDigits(code))
        return -1;
    return std::stoi(code);
}

} // namespace

const std::string* HttpHeaders::Find(const std::string& lowerName) const {
    for (const auto& [name, value] : items)
        if (name == lowerName)
            return &value;
    return nullptr;
}

std::string HttpHeaders::Value(const std::string& lowerName) const {
    const std::string* v = Find(lowerName);
    return v ? *v : std::string();
}

ResponseReader::ResponseReader(ByteSource& source, ResponseLimits limits, ResponseEvents events)
    : source_(source), limits_(limits), events_(std::move(events)) {}

void ResponseReader::Work(std::uint64_t count) {
    if (events_.Work)
        events_.Work(static_cast<std::int64_t>(count));
}

void ResponseReader::WorkBegin(std::int64_t expected) {
    if (events_.WorkBegin)
        events_.WorkBegin(expected);
}

std::string ResponseReader::ReadLine(int limitMs) {
    std::size_t scanned = 0;
    for (;;) {
        const char* data = source_.Data();
        const void* lf = std::memchr(data + scanned, '\n', source_.Available() - scanned);
        if (lf) {
            std::size_t len = static_cast<std::size_t>(static_cast<const char*>(lf) - data);
            source_.Consume(len + 1);
            if (len > 0 && data[len - 1] == '\r')
                --len;
            if (len > limits_.MaxLineLength)
                throw LineTooLong();
            return std::string(data, len);
        }
        scanned = source_.Available();
        // One more byte may be the CR of a line of exactly the maximum length.
        if (scanned > limits_.MaxLineLength + 1)
            throw LineTooLong();
        switch (lastFill_ = source_.Fill(limitMs)) {
        case FillResult::Data:
            break;
        case FillResult::Closed:
            throw ConnectionClosed();
        case FillResult::TimedOut:
            throw HttpError("Read timed out.");
        }
    }
}

ResponseHead ResponseReader::ReadHead() {
    for (;;) {
        ResponseHead head;
        do {
            // Tolerates the stray line end some servers send after a body.
            head.statusLine = ReadLine(0);
        } while (head.statusLine.empty());
        head.code = parseStatusCode(head.statusLine);
        head.http10 = head.statusLine.rfind("HTTP/1.0", 0) == 0;
        for (;;) {
            const std::string line = ReadLine(0);
            if (line.empty())
                break;
            if ((line[0] == ' ' || line[0] == '\t') && !head.headers.items.empty()) {
                head.headers.items.back().second += " " + HttpTrim(line);
                continue;
            }
            const auto colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            head.headers.items.emplace_back(AsciiLowerCopy(HttpTrim(line.substr(0, colon))),
                                            HttpTrim(line.substr(colon + 1)));
        }
        if (head.code != 100)
            return head;
    }
}

std::uint64_t ResponseReader::ReadCounted(std::uint64_t want, std::string* sink, int limitMs) {
    std::uint64_t got = 0;
    while (got < want) {
        if (source_.Available() == 0) {
            lastFill_ = source_.Fill(limitMs);
            if (lastFill_ == FillResult::TimedOut)
                inStep_ = false;
            if (lastFill_ != FillResult::Data)
                break;
        }
        const std::size_t take =
            static_cast<std::size_t>(std::min<std::uint64_t>(source_.Available(), want - got));
        if (sink)
            sink->append(source_.Data(), take);
        source_.Consume(take);
        got += take;
        Work(got);
    }
    return got;
}

void ResponseReader::ReadUntilClose(std::string* sink, int limitMs) {
    inStep_ = false;
    std::uint64_t got = 0;
    for (;;) {
        if (source_.Available() == 0) {
            lastFill_ = source_.Fill(limitMs);
            if (lastFill_ != FillResult::Data)
                return;
        }
        const std::size_t take = source_.Available();
        got += take;
        if (got > limits_.MaxBodySize) {
            if (sink)
                throw BodyTooLarge(got, limits_.MaxBodySize, true);
            return; // enough dropped; the source is not reused anyway
        }
        if (sink)
            sink->append(source_.Data(), take);
        source_.Consume(take);
        Work(got);
    }
}

bool ResponseReader::ReadBody(const ResponseHead& head, std::string* sink, int limitMs) {
    inStep_ = true;
    if (head.code == 204 || head.code == 304 || (head.code >= 100 && head.code < 200))
        return inStep_;
    const std::int64_t length = contentLength(head.headers);
    if (length > 0) {
        const auto size = static_cast<std::uint64_t>(length);
        if (size > limits_.MaxBodySize) {
            if (sink)
                throw BodyTooLarge(size, limits_.MaxBodySize, false);
            return inStep_ = false;
        }
        if (sink)
            sink->reserve(sink->size() + size);
        WorkBegin(length);
        if (ReadCounted(size, sink, limitMs) < size)
            inStep_ = false;
        return inStep_;
    }
    if (AsciiLowerCopy(head.headers.Value("transfer-encoding")).find("chunked") !=
        std::string::npos) {
        if (events_.ChunkStarted)
            events_.ChunkStarted();
        std::uint64_t total = 0;
        for (;;) {
            const std::string line = ReadLine(limitMs);
            const std::string digits = line.substr(0, line.find_first_of(" \t;"));
            if (digits.empty() || digits.size() > 15 ||
                !std::all_of(digits.begin(), digits.end(),
                             [](unsigned char c) { return std::isxdigit(c); })) {
                throw ProtocolError("Invalid chunk size line \"" + line.substr(0, 100) +
                                    "\" in the answer.");
            }
            const std::uint64_t size = std::stoull(digits, nullptr, 16);
            if (size == 0)
                break;
            if (total + size > limits_.MaxBodySize) {
                if (sink)
                    throw BodyTooLarge(total + size, limits_.MaxBodySize, true);
                return inStep_ = false;
            }
            WorkBegin(static_cast<std::int64_t>(size));
            const std::uint64_t got = ReadCounted(size, sink, limitMs);
            total += got;
            if (got < size) {
                if (lastFill_ == FillResult::Closed)
                    throw ConnectionClosed();
                throw HttpError("Read timed out.");
            }
            ReadLine(limitMs);
        }
        ReadLine(limitMs); // the (single) trailer line
        return inStep_;
    }
    if (length < 0) {
        WorkBegin(0);
        ReadUntilClose(sink, limitMs);
    }
    return inStep_;
}

} // namespace zavrio
