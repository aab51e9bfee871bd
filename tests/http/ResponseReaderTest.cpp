// The answer reader driven from memory: the same answers must read the same
// whether the bytes arrive at once or one at a time.

#include "http/ResponseReader.h"
#include "http/HttpErrors.h"

#include <gtest/gtest.h>

#include <string>

namespace zavrio {
namespace {

struct Read {
    ResponseHead head;
    std::string body;
    bool inStep = false;
};

Read ReadAnswer(const std::string& bytes, std::size_t chunk) {
    MemorySource source(bytes, chunk);
    ResponseReader reader(source, {});
    Read read;
    read.head = reader.ReadHead();
    read.inStep = reader.ReadBody(read.head, &read.body, 0);
    return read;
}

TEST(ResponseReader, ReadsTheSameWhateverTheChunking) {
    struct Case {
        const char* name;
        std::string answer;
        int code;
        std::string body;
        bool inStep;
    };
    const Case cases[] = {
        {"content-length", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", 200, "hello", true},
        {"chunked with an extension",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: "
         "chunked\r\n\r\n3;x=y\r\nabc\r\n2\r\nde\r\n0\r\n\r\n",
         200, "abcde", true},
        {"until close", "HTTP/1.0 200 OK\r\n\r\nall of it", 200, "all of it", false},
        {"100 continue skipped",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\nok", 201,
         "ok", true},
        {"stray line end before the status line (LF only)", "\r\n\nHTTP/1.1 204 No Content\n\n",
         204, "", true},
    };
    for (const Case& c : cases) {
        for (std::size_t chunk : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
            const Read read = ReadAnswer(c.answer, chunk);
            EXPECT_EQ(read.head.code, c.code) << c.name << ", chunk " << chunk;
            EXPECT_EQ(read.body, c.body) << c.name << ", chunk " << chunk;
            EXPECT_EQ(read.inStep, c.inStep) << c.name << ", chunk " << chunk;
        }
    }
}

TEST(ResponseReader, HeadersAreLowerCasedTrimmedAndFolded) {
    const Read read = ReadAnswer("HTTP/1.1 301 Moved\r\nLOCATION :  /new \r\nX-Long: a\r\n"
                                 "\tb\r\nno colon here\r\nContent-Length: 0\r\n\r\n",
                                 1);
    EXPECT_EQ(read.head.statusLine, "HTTP/1.1 301 Moved");
    EXPECT_EQ(read.head.headers.Value("location"), "/new");
    EXPECT_EQ(read.head.headers.Value("x-long"), "a b");
    EXPECT_EQ(read.head.headers.Find("no colon here"), nullptr);
}

TEST(ResponseReader, BodyCutShortOfItsLengthFailsWhenKeptAndOnlySpoilsWhenDropped) {
    const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc";
    for (std::size_t chunk : {std::size_t{0}, std::size_t{1}}) {
        EXPECT_THROW(ReadAnswer(answer, chunk), ConnectionClosed) << chunk;
        MemorySource source(answer, chunk);
        ResponseReader reader(source, {});
        EXPECT_FALSE(reader.ReadBody(reader.ReadHead(), nullptr, 0)) << chunk;
    }
}

TEST(ResponseReader, AnswerEndingInsideTheHeadFails) {
    for (std::size_t chunk : {std::size_t{0}, std::size_t{1}}) {
        MemorySource source("HTTP/1.1 200 OK\r\nContent-Le", chunk);
        ResponseReader reader(source, {});
        EXPECT_THROW(reader.ReadHead(), ConnectionClosed);
    }
}

} // namespace
} // namespace zavrio
