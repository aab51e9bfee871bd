#pragma once
// File-name and directory functions. A path component ends at the last "/",
// "\" or ":", so the same rules serve Linux paths and the Windows-style names
// the installer records.

#include <string>

namespace zavrio {

// The last component without its extension (see the .cpp for the exact rule).
std::string FileNameWithoutExt(const std::string& path);

// An 8.3-style short name: blanks removed and the name cut to six characters
// plus "~1" when it is longer than eight; the extension is kept whole.
std::string ShortFileName(const std::string& path);

// The full path of the running program file, as the system reports it.
std::string ProgramFile();
// The directory of the running program, with its trailing "/".
std::string ProgramDirectory();

} // namespace zavrio
