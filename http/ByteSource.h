#pragma once
// Where the bytes of an answer come from: the received bytes not yet read,
// and a way to wait for more. A socket connection is one; MemorySource
// serves bytes held in memory, so the answer reader can be driven without a
// network (tests, fuzzing).

#include <cstddef>
#include <string_view>
#include <vector>

namespace zavrio {

enum class FillResult {
    Data,     // more bytes are available
    Closed,   // the peer has closed; no more will come
    TimedOut, // the wait's limit passed without data
};

class ByteSource {
public:
    explicit ByteSource(std::size_t capacity = 256 * 1024) : buf_(capacity) {}
    virtual ~ByteSource() = default;

    // Waits until more bytes are available, the peer has closed, or limitMs
    // (when > 0; otherwise the source's own limit) passed without data.
    virtual FillResult Fill(int limitMs) = 0;

    std::size_t Available() const { return end_ - start_; }
    const char* Data() const { return buf_.data() + start_; }
    void Consume(std::size_t n) { start_ += n; }

protected:
    // Room at the end of the buffer for bytes to arrive in: unread bytes are
    // moved to the front when the end is reached, and a full buffer doubles.
    char* WritePos();
    std::size_t Room() const { return buf_.size() - end_; }
    void Commit(std::size_t n) { end_ += n; }

private:
    std::vector<char> buf_;
    std::size_t start_ = 0; // unread data is buf_[start_, end_)
    std::size_t end_ = 0;
};

// Serves bytes from memory, chunk bytes per Fill (all at once when chunk is
// 0), then reports the peer closed.
class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes, std::size_t chunk = 0);
    FillResult Fill(int limitMs) override;

private:
    std::string_view rest_;
    std::size_t chunk_;
};

} // namespace zavrio
