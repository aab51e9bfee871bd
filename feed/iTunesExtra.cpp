#include "iTunesExtra.h"

#include "feed/IntegerText.h"
#include "platform/TextToolkit.h"

namespace zavrio {

namespace {

void setKeyed(std::string& field, const std::string& value) {
    if (field != value)
        field = value;
}

// The text before the first ":", which s loses together with the ":"; "" when
// there is no ":" (s then stays as it is).
std::string takeBeforeColon(std::string& s) {
    auto at = s.find(':');
    if (at == std::string::npos)
        return {};
    std::string part = s.substr(0, at);
    s.erase(0, at + 1);
    return part;
}

} // namespace

void TiTunesCategory::SetSubCategory(const std::string& value) {
    setKeyed(FSubCategory, value);
}
void TiTunesCategory::SetCategory(const std::string& value) {
    setKeyed(FCategory, value);
}

void TiTunesOwner::SetName(const std::string& value) {
    setKeyed(FName, value);
}
void TiTunesOwner::SetEmailAddress(const std::string& value) {
    setKeyed(FEmailAddress, value);
}

void TiTunesKeywords::AddFromText(const std::string& text) {
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty())
        return;
    std::string s(trimmed);
    for (auto space = s.find(' '); space != std::string::npos; space = s.find(' ')) {
        Add().SetValue(s.substr(0, space));
        s.erase(0, space + 1);
    }
    Add().SetValue(s);
}

std::string TiTunesKeywords::JoinedText() const {
    std::string joined;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0)
            joined += ' ';
        joined += Items(i).Value();
    }
    return joined;
}

std::string TiTunesDuration::Duration() const {
    return std::to_string(FHour) + ":" + std::to_string(FMinute) + ":" + (FSecond < 10 ? "0" : "") +
           std::to_string(FSecond);
}

void TiTunesDuration::SetDuration(const std::string& text) {
    std::string s = text;
    FHour = FeedStrToInt(takeBeforeColon(s));
    FMinute = FeedStrToInt(takeBeforeColon(s));
    FSecond = FeedStrToInt(s);
}

TiTunesChannelExtra::TiTunesChannelExtra() : FKeyWords(this) {}

void TiTunesChannelExtra::SetSubtitle(const std::string& value) {
    setKeyed(FSubtitle, value);
}

void TiTunesChannelExtra::SetSummary(const std::string& value) {
    setKeyed(FSummary, std::string(CutToCharacters(value, iTunesSummaryLimit)));
}

TiTunesItemExtra::TiTunesItemExtra() : FKeyWords(this) {}

void TiTunesItemExtra::SetSummary(const std::string& value) {
    FSummary = std::string(CutToCharacters(value, iTunesSummaryLimit));
}

} // namespace zavrio
