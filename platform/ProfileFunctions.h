#pragma once
// The "Windows directory" of this program and INI-file writes with the
// private-profile rules.

#include <string>

namespace zavrio {

// "<registry store root>/windows/", with its trailing "/". The directory is
// created when missing (failures are ignored), because callers expect it to
// exist like the system directory it stands for. The path has no length limit.
std::string WindowsDirectory();

// Writes key=value into section of an INI file; a bare file name (without "/")
// names a file in WindowsDirectory(). Private-profile rules: the first section
// and the first key of that section whose names match without regard to ASCII
// letter case are used; an existing key's line keeps everything up to the
// value; a missing key is appended after the last non-blank line of its
// section; a missing section is appended at the end of the file; all other
// lines, comments and blanks stay as they are, and new lines use the file's
// line ending (CR LF for a new file).
// Every error is swallowed: a file that cannot be read or written (a file
// without any write permission bit counts as read-only), a missing directory,
// and names or values that cannot be written as one INI line (a line break
// anywhere, "]" in the section, "=" in the key, an empty key, a key starting
// with ";" or "[") leave the file unchanged.
void IniWriteString(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& value);

} // namespace zavrio
