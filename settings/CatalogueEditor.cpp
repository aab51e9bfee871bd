#include "settings/CatalogueEditor.h"

#include "http/Uri.h"
#include "platform/TextToolkit.h"

#include <utility>

namespace zavrio {

namespace {

const char* const kFeeds = "feeds";
const char* const kSet = "set";
const char* const kChannel = "Channel";

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

CatalogueEditor::CatalogueEditor(TMemIniFile& file, std::int32_t& channel)
    : file_(file), channel_(channel) {}

std::vector<FeedEntry> CatalogueEditor::List() const {
    std::vector<FeedEntry> entries;
    for (auto& [name, address] : file_.ReadSectionPairs(kFeeds))
        entries.push_back({std::move(name), std::move(address)});
    return entries;
}

void CatalogueEditor::checkName(const std::string& name, std::size_t ignoredIndex) const {
    if (name.empty())
        throw CatalogueError("a feed needs a name");
    if (TrimBlanks(name) != name)
        throw CatalogueError("the feed name " + quoted(name) +
                             " begins or ends with a blank; the file would not keep it");
    for (char c : name)
        if (c == '=' || c == '[' || c == ']' || c == '\r' || c == '\n')
            throw CatalogueError("the feed name " + quoted(name) +
                                 " holds \"=\", \"[\", \"]\" or a line break; the file "
                                 "cannot hold it as a name");
    const std::vector<FeedEntry> entries = List();
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (i != ignoredIndex && SameTextNoCase(entries[i].Name, name))
            throw CatalogueError("the catalogue already has a feed named " +
                                 quoted(entries[i].Name));
}

void CatalogueEditor::CheckNewName(const std::string& name) const {
    checkName(name, static_cast<std::size_t>(-1));
}

void CatalogueEditor::CheckAddress(const std::string& address) {
    const Uri uri(address);
    const bool web = SameTextNoCase(address.substr(0, 7), "http://") ||
                     SameTextNoCase(address.substr(0, 8), "https://");
    bool blank = false;
    for (char c : address)
        blank = blank || IsBlank(c);
    if (!web || uri.Host.empty() || blank)
        throw CatalogueError(quoted(address) +
                             " is not a feed address: it must begin with http:// or https://, "
                             "name a host and hold no blanks");
}

std::size_t CatalogueEditor::indexOf(const std::string& name) const {
    const std::vector<FeedEntry> entries = List();
    for (std::size_t i = entries.size(); i-- > 0;)
        if (SameTextNoCase(entries[i].Name, name))
            return i;
    throw CatalogueError("the catalogue has no feed named " + quoted(name));
}

void CatalogueEditor::checkIndex(std::size_t index) const {
    const std::size_t count = List().size();
    if (index >= count)
        throw CatalogueError("there is no feed number " + std::to_string(index + 1) +
                             " in a catalogue of " + std::to_string(count));
}

void CatalogueEditor::commit(TMemIniFile edited, std::int32_t newChannel) {
    if (newChannel != channel_)
        edited.WriteInteger(kSet, kChannel, newChannel);
    edited.UpdateFile();
    file_ = std::move(edited);
    channel_ = newChannel;
}

void CatalogueEditor::Add(const std::string& name, const std::string& address) {
    CheckNewName(name);
    CheckAddress(address);
    TMemIniFile edited = file_;
    edited.InsertLine(kFeeds, List().size(), name, address);
    commit(std::move(edited), channel_);
}

void CatalogueEditor::Rename(const std::string& oldName, const std::string& newName) {
    RenameAt(indexOf(oldName), newName);
}

void CatalogueEditor::RenameAt(std::size_t index, const std::string& newName) {
    checkIndex(index);
    checkName(newName, index);
    TMemIniFile edited = file_;
    edited.ReplaceLine(kFeeds, index, newName, List()[index].Address);
    commit(std::move(edited), channel_);
}

void CatalogueEditor::Move(const std::string& name, std::int64_t position) {
    const std::size_t index = indexOf(name);
    const std::size_t count = List().size();
    if (position < 1 || static_cast<std::uint64_t>(position) > count)
        throw CatalogueError("position " + std::to_string(position) + " is outside 1 to " +
                             std::to_string(count));
    MoveAt(index, static_cast<std::size_t>(position - 1));
}

void CatalogueEditor::MoveAt(std::size_t index, std::size_t newIndex) {
    checkIndex(index);
    checkIndex(newIndex);
    const std::vector<FeedEntry> entries = List();
    TMemIniFile edited = file_;
    edited.RemoveLine(kFeeds, index);
    edited.InsertLine(kFeeds, newIndex, entries[index].Name, entries[index].Address);

    const auto from = static_cast<std::int64_t>(index);
    const auto to = static_cast<std::int64_t>(newIndex);
    std::int64_t channel = channel_;
    if (channel >= 0 && channel < static_cast<std::int64_t>(entries.size())) {
        if (channel == from)
            channel = to;
        else if (from < channel && channel <= to)
            --channel;
        else if (to <= channel && channel < from)
            ++channel;
    }
    commit(std::move(edited), static_cast<std::int32_t>(channel));
}

void CatalogueEditor::Remove(const std::string& name) {
    RemoveAt(indexOf(name));
}

void CatalogueEditor::RemoveAt(std::size_t index) {
    checkIndex(index);
    const std::size_t count = List().size();
    TMemIniFile edited = file_;
    edited.RemoveLine(kFeeds, index);
    std::int32_t channel = channel_;
    if (channel >= 0 && static_cast<std::size_t>(channel) < count) {
        if (static_cast<std::size_t>(channel) == index)
            channel = 0;
        else if (static_cast<std::size_t>(channel) > index)
            --channel;
    }
    commit(std::move(edited), channel);
}

} // namespace zavrio
