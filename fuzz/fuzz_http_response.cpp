// The HTTP answer reader driven from bytes instead of a socket. The first
// byte picks how many bytes each wait delivers, so answers split at every
// place are tried. Bad answers must fail with an HttpError; a kept body never
// exceeds its limit.
#include "http/ByteSource.h"
#include "http/HttpErrors.h"
#include "http/ResponseReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t chunk = data[0] % 17; // 0: everything at once
    zavrio::MemorySource source(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1),
                                chunk);
    zavrio::ResponseLimits limits;
    limits.MaxLineLength = 512;
    limits.MaxBodySize = 4096;
    limits.MaxHeaderBytes = 8192;
    limits.MaxHeaderLines = 64;
    zavrio::ResponseReader reader(source, limits);
    try {
        // Two answers in a row, as on a kept connection.
        for (int i = 0; i < 2; ++i) {
            const zavrio::ResponseHead head = reader.ReadHead();
            std::string body;
            const bool inStep = reader.ReadBody(head, &body, 1000);
            if (body.size() > limits.MaxBodySize)
                __builtin_trap();
            if (!inStep)
                break;
        }
    } catch (const zavrio::HttpError&) {
    }
    return 0;
}
