#pragma once
// A quick look inside a downloaded clip with libavformat: is it a media file
// with a picture, and is all of it there?

#include <string>

namespace zavrio {

// Whether the file at path opens as a media container holding at least one
// video stream (a cover picture does not count) and, when its container
// indexes its samples up front (MP4 and the like), the file holds every
// byte that index points at: a close-delimited body cut short keeps its
// index and loses its tail. False for anything libavformat cannot read.
bool HasVideoStream(const std::string& path);

} // namespace zavrio
