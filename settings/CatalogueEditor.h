#pragma once
// CatalogueEditor: the one place that changes the feed catalogue (section
// "feeds" of the settings file), for the configuration window and the
// command-line tool alike.
//
// Rules, each refused with CatalogueError naming the input, nothing changed:
//  - a name is not empty, has no blank at either end and holds no "=", "[",
//    "]" or line break (the file could not read it back as the same name);
//  - a name is not in the catalogue yet, compared as the file compares keys
//    (ASCII letters without regard to case); renaming an entry to itself in
//    another letter case is allowed;
//  - an address is an http:// or https:// address that names a host, with no
//    blank in it;
//  - an entry named by its name must be there (with repeated names, the last
//    one, as the file's look-up finds it); a position counts from 1 and lies
//    within the catalogue.
// Channel keeps pointing at the same feed through moves and removals;
// removing the current feed points it at 0. A Channel outside the catalogue
// (the first feed, or none, to its readers) is left as it is.
// Every change is written at once (TMemIniFile::UpdateFile, atomic). When
// the write fails the FileCreateError passes through and neither the file in
// memory nor the channel changes.

#include "settings/MemIniFile.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace zavrio {

class CatalogueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FeedEntry {
    std::string Name;
    std::string Address;
    bool operator==(const FeedEntry&) const = default;
};

class CatalogueEditor {
public:
    // Edits file, whose section "set" key "Channel" is kept equal to channel
    // whenever a change moves it. Both must outlive the editor.
    CatalogueEditor(TMemIniFile& file, std::int32_t& channel);

    // The catalogue in file order.
    std::vector<FeedEntry> List() const;

    // Appends the feed at the end.
    void Add(const std::string& name, const std::string& address);
    void Rename(const std::string& oldName, const std::string& newName);
    // position counts from 1.
    void Move(const std::string& name, std::int64_t position);
    void Remove(const std::string& name);

    // The same by index (from 0) into List(), for a window that shows the
    // list and may meet repeated names in a file edited by hand.
    void RenameAt(std::size_t index, const std::string& newName);
    void MoveAt(std::size_t index, std::size_t newIndex);
    void RemoveAt(std::size_t index);

    // The checks Add applies, for a caller that asks before doing more work
    // (the window loads the feed first). Throw CatalogueError.
    void CheckNewName(const std::string& name) const;
    static void CheckAddress(const std::string& address);

private:
    std::size_t indexOf(const std::string& name) const;
    void checkName(const std::string& name, std::size_t ignoredIndex) const;
    void checkIndex(std::size_t index) const;
    // Writes edited (and the new channel) to disk, then makes both current.
    void commit(TMemIniFile edited, std::int32_t newChannel);

    TMemIniFile& file_;
    std::int32_t& channel_;
};

} // namespace zavrio
