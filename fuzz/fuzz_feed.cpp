// Feed loading from arbitrary bytes: the XML layer, format recognition, every
// format's parser, and the JSON picture the command-line tool prints of the
// resulting model. A failed load must fail with one of the component's
// exceptions; the model must stay printable either way. Items handed on as
// they are read (OnItemRead, which drops each from the tree and the model)
// must be the items of the whole model, and fail as it fails.
#include "feed/RSSItem.h"
#include "feed/SimpleRSS.h"
#include "tools/FeedJson.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

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

    zavrio::TSimpleRSS once;
    std::vector<std::string> handed;
    once.OnItemRead = [&handed](const zavrio::TRSSItem& item) {
        handed.push_back(item.Title() + '\n' + item.Link());
    };
    std::string onceError;
    try {
        once.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const std::exception& e) {
        onceError = e.what();
        if (!failed || onceError != error)
            __builtin_trap();
    }
    if (!failed) {
        if (!onceError.empty() || once.Items().Count() != 0 ||
            static_cast<int>(handed.size()) != rss.Items().Count())
            __builtin_trap();
        for (int i = 0; i < rss.Items().Count(); ++i)
            if (handed[static_cast<std::size_t>(i)] !=
                rss.Items().Items(i).Title() + '\n' + rss.Items().Items(i).Link())
                __builtin_trap();
    } else if (onceError.empty()) {
        __builtin_trap();
    }
    return 0;
}
