#include "feed/StreamText.h"

#include <istream>
#include <sstream>
#include <typeinfo>

namespace zavrio {

std::string TakeStreamText(std::istream& stream) {
    std::streambuf* buffer = stream.rdbuf();
    if (stream.good() && buffer && typeid(*buffer) == typeid(std::stringbuf)) {
        const std::streamoff start = stream.tellg();
        std::string bytes = std::move(static_cast<std::stringbuf&>(*buffer)).str();
        stream.setstate(std::ios::eofbit | std::ios::failbit);
        if (start > 0)
            bytes.erase(0, static_cast<std::size_t>(start));
        return bytes;
    }
    // One allocation of the right size where the stream can tell it: growing
    // a buffer step by step costs more than the copy itself.
    std::string bytes;
    const std::istream::pos_type start = stream.tellg();
    if (start != std::istream::pos_type(-1) && stream.seekg(0, std::ios::end)) {
        const std::streamoff size = stream.tellg() - start;
        stream.seekg(start);
        bytes.resize(static_cast<std::size_t>(size));
        stream.read(bytes.data(), size);
        bytes.resize(static_cast<std::size_t>(stream.gcount()));
    }
    stream.clear(stream.rdstate() & ~std::ios::failbit);
    char chunk[65536];
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(stream.gcount()));
    return bytes;
}

} // namespace zavrio
