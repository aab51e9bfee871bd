#pragma once
// A feed entry's HTML description reduced to the short plain-text hint the
// configuration window shows over its clip list. Texts are 8-bit (UTF-8);
// positions count bytes and case rules touch ASCII letters only.

#include <string>
#include <string_view>

namespace zavrio {

// Removes every occurrence of pattern (non-empty) from s, comparing without
// regard to letter case, and again after each removal from the beginning, so
// occurrences that the removal itself joins together go too.
void DeleteAllNoCase(std::string_view pattern, std::string& s);

// Markup removed ("<...>" tags; a ">" before any "<" takes everything up to
// it; a "<" never closed takes everything after it), "&nbsp" and "&gt" (the
// letters only) deleted, the text split into lines at CR LF, CR or LF and
// every line trimmed of blanks, empty lines dropped and the rest joined with
// CR LF, then "&quot;", "&#39;" and "&amp;" decoded, each in one pass.
std::string HtmlToPlainText(std::string s);

// HtmlToPlainText of description; then, when "From:" occurs in it, only what
// comes before it less its last two characters (the uploader's block goes);
// otherwise its first 150 characters followed by "..." (also when nothing
// was cut).
std::string DescriptionHint(const std::string& description);

} // namespace zavrio
