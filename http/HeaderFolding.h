#pragma once
// Folding of over-long request header lines.

#include <cstddef>
#include <string>
#include <vector>

namespace zavrio {

// Splits one "Name: value" line longer than width into pieces: each break
// falls after a space, tab or comma outside double quotes, at the last such
// place that keeps the piece within width (or, when none does, the first one
// after it); trailing blanks of each piece are dropped and every continuation
// piece starts with one space. A line without any break place stays whole.
std::vector<std::string> FoldHeaderLine(const std::string& line, std::size_t width = 78);

} // namespace zavrio
