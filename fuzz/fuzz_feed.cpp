// Feed loading from arbitrary bytes: the XML layer, format recognition, every
// format's parser, and the JSON picture the command-line tool prints of the
// resulting model. A failed load must fail with one of the component's
// exceptions; the model must stay printable either way.
#include "feed/SimpleRSS.h"
#include "tools/FeedJson.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zavrio::TSimpleRSS rss;
    std::string error;
    bool failed = false;
    try {
        rss.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const std::exception& e) {
        error = e.what();
        failed = true;
    }
    std::ostringstream out;
    zavrio::WriteFeedJson(out, rss, failed ? &error : nullptr);
    if (out.str().empty())
        __builtin_trap();
    return 0;
}
