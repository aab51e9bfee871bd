#include "http/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace zavrio {

char* ByteSource::WritePos() {
    if (start_ == end_) {
        start_ = end_ = 0;
    } else if (end_ == buf_.size()) {
        std::memmove(buf_.data(), buf_.data() + start_, Available());
        end_ -= start_;
        start_ = 0;
    }
    if (end_ == buf_.size())
        buf_.resize(std::max<std::size_t>(buf_.size() * 2, 64));
    return buf_.data() + end_;
}

MemorySource::MemorySource(std::string_view bytes, std::size_t chunk)
    : ByteSource(std::min<std::size_t>(std::max<std::size_t>(bytes.size(), 1), 256 * 1024)),
      rest_(bytes), chunk_(chunk) {}

FillResult MemorySource::Fill(int) {
    if (rest_.empty())
        return FillResult::Closed;
    char* to = WritePos();
    std::size_t n = std::min(Room(), rest_.size());
    if (chunk_ > 0)
        n = std::min(n, chunk_);
    std::memcpy(to, rest_.data(), n);
    Commit(n);
    rest_.remove_prefix(n);
    return FillResult::Data;
}

} // namespace zavrio
