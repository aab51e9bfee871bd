#include "http/ResponseReader.h"

#include "http/HttpErrors.h"
#include "http/HttpText.h"
#include "platform/TextToolkit.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <optional>

namespace zavrio {

namespace {

bool allDigits(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The elements of a comma-separated header list, each trimmed; empty
// elements are dropped.
std::vector<std::string> listElements(const std::string& value) {
    std::vector<std::string> elements;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(',', start);
        std::string element = HttpTrim(value.substr(start, comma - start));
        if (!element.empty())
            elements.push_back(std::move(element));
        if (comma == std::string::npos)
            return elements;
        start = comma + 1;
    }
}

// The body length the Content-Length headers give, or nullopt without any.
// Identical repeats are one value; anything else that is not one plain
// decimal number is refused, since a reader that guessed here could be made
// to take the rest of one answer for the start of the next.
std::optional<std::uint64_t> contentLength(const HttpHeaders& headers) {
    std::optional<std::uint64_t> length;
    std::string first;
    for (const auto& [name, value] : headers.items) {
        if (name != "content-length")
            continue;
        const std::vector<std::string> elements = listElements(value);
        if (elements.empty())
            throw ProtocolError("Invalid Content-Length \"" + value.substr(0, 100) +
                                "\" in the answer.");
        for (const std::string& element : elements) {
            std::uint64_t n = 0;
            const bool number =
                allDigits(element) && element.size() <= 19 &&
                std::from_chars(element.data(), element.data() + element.size(), n).ec ==
                    std::errc();
            if (!number)
                throw ProtocolError("Invalid Content-Length \"" + element.substr(0, 100) +
                                    "\" in the answer.");
            if (length && *length != n)
                throw ProtocolError("Conflicting Content-Length values \"" + first + "\" and \"" +
                                    element.substr(0, 100) + "\" in the answer.");
            length = n;
            first = element;
        }
    }
    return length;
}

// All Transfer-Encoding values as one list, lower-cased.
std::vector<std::string> transferCodings(const HttpHeaders& headers) {
    std::vector<std::string> codings;
    for (const auto& [name, value] : headers.items)
        if (name == "transfer-encoding")
            for (std::string& coding : listElements(AsciiLowerCopy(value)))
                codings.push_back(std::move(coding));
    return codings;
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

std::string ResponseReader::ReadHeaderLine(HeaderBudget& budget) {
    std::string line = ReadLine(0);
    budget.bytes += line.size() + 2;
    if (budget.bytes > limits_.MaxHeaderBytes)
        throw HeaderTooLarge("The answer's header exceeds the limit of " +
                             std::to_string(limits_.MaxHeaderBytes) + " bytes.");
    if (++budget.lines > limits_.MaxHeaderLines)
        throw HeaderTooLarge("The answer's header exceeds the limit of " +
                             std::to_string(limits_.MaxHeaderLines) + " lines.");
    return line;
}

ResponseHead ResponseReader::ReadHead() {
    HeaderBudget budget;
    for (;;) {
        ResponseHead head;
        do {
            // Tolerates the stray line end some servers send after a body.
            head.statusLine = ReadHeaderLine(budget);
        } while (head.statusLine.empty());
        head.code = parseStatusCode(head.statusLine);
        head.http10 = head.statusLine.rfind("HTTP/1.0", 0) == 0;
        for (;;) {
            const std::string line = ReadHeaderLine(budget);
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
        // Interim answers (100 Continue, 102 Processing, 103 Early Hints)
        // precede the real one.
        if (head.code < 100 || head.code > 199)
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

void ResponseReader::ReadChunked(std::string* sink, int limitMs) {
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
            inStep_ = false;
            return;
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
    // The trailer: header fields up to an empty line, read and dropped, so
    // that a kept connection starts the next answer in step.
    HeaderBudget trailer;
    while (!ReadHeaderLine(trailer).empty()) {
    }
}

bool ResponseReader::ReadBody(const ResponseHead& head, std::string* sink, int limitMs) {
    inStep_ = true;
    if (head.code == 204 || head.code == 304 || (head.code >= 100 && head.code < 200))
        return inStep_;
    const std::vector<std::string> codings = transferCodings(head.headers);
    if (!codings.empty()) {
        if (codings.back() != "chunked") {
            WorkBegin(0);
            ReadUntilClose(sink, limitMs);
            return inStep_;
        }
        // Both framings at once is how answers are smuggled past readers
        // that trust the length: read the chunks, then never reuse the source.
        const bool doubtful = head.headers.Find("content-length") || head.http10;
        ReadChunked(sink, limitMs);
        if (doubtful)
            inStep_ = false;
        return inStep_;
    }
    const std::optional<std::uint64_t> length = contentLength(head.headers);
    if (!length) {
        WorkBegin(0);
        ReadUntilClose(sink, limitMs);
        return inStep_;
    }
    if (*length == 0)
        return inStep_;
    if (*length > limits_.MaxBodySize) {
        if (sink)
            throw BodyTooLarge(*length, limits_.MaxBodySize, false);
        return inStep_ = false;
    }
    if (sink)
        sink->reserve(sink->size() + *length);
    WorkBegin(static_cast<std::int64_t>(*length));
    if (ReadCounted(*length, sink, limitMs) < *length) {
        inStep_ = false;
        // A kept body cut short of its length is no whole document.
        if (sink && lastFill_ == FillResult::Closed)
            throw ConnectionClosed();
        if (sink)
            throw HttpError("Read timed out.");
    }
    return inStep_;
}

} // namespace zavrio
