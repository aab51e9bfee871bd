#pragma once
// The rest of a stream's bytes as one string, without a second copy where
// that can be avoided: a feed is several megabytes (up to the download
// limit), and the download hands it over in a string stream.

#include <iosfwd>
#include <string>

namespace zavrio {

// Everything from the stream's read position to its end. The text of a
// std::istringstream (or std::stringstream) is taken over instead of copied,
// so such a stream is empty afterwards; like any other stream it is then at
// its end, with eofbit and failbit set.
std::string TakeStreamText(std::istream& stream);

} // namespace zavrio
