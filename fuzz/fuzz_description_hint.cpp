// The description hint of the clip list from arbitrary HTML. The plain text
// keeps no markup brackets, and a deletion leaves no occurrence of its
// pattern in any letter case.
#include "config/DescriptionHint.h"
#include "platform/TextToolkit.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string plain = zavrio::HtmlToPlainText(std::string(bytes));
    if (plain.find_first_of("<>") != std::string::npos)
        __builtin_trap();
    (void)zavrio::DescriptionHint(std::string(bytes));

    // The first line is the pattern, the rest the text it is deleted from.
    const std::size_t cut = bytes.find('\n');
    if (cut != std::string_view::npos && cut > 0) {
        const std::string_view pattern = bytes.substr(0, cut);
        std::string text(bytes.substr(cut + 1));
        zavrio::DeleteAllNoCase(pattern, text);
        if (zavrio::FindNoCase(text, pattern) != std::string_view::npos)
            __builtin_trap();
    }
    return 0;
}
