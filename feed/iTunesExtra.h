#pragma once
// The iTunes podcast fields of a channel (TiTunesChannelExtra) and of an
// entry (TiTunesItemExtra), with their parts. A summary keeps at most its
// first 4000 characters, cut at a character boundary.

#include <string>

#include "feed/OwnedCollection.h"

namespace zavrio {

inline constexpr std::size_t iTunesSummaryLimit = 4000; // characters, not bytes

// Category and SubCategory are keyed: stored only when they differ.
class TiTunesCategory {
public:
    const std::string& SubCategory() const { return FSubCategory; }
    void SetSubCategory(const std::string& value);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& value);

private:
    std::string FSubCategory;
    std::string FCategory;
};

// Name and EmailAddress are keyed.
class TiTunesOwner {
public:
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    const std::string& EmailAddress() const { return FEmailAddress; }
    void SetEmailAddress(const std::string& value);

private:
    std::string FName;
    std::string FEmailAddress;
};

class TiTunesKeyword {
public:
    const std::string& Value() const { return FValue; }
    void SetValue(const std::string& value) { FValue = value; }

private:
    std::string FValue;
};

// Owned by a channel or an entry extra; the owner is not typed.
class TiTunesKeywords : public TOwnedCollection<TiTunesKeyword, void> {
public:
    explicit TiTunesKeywords(void* owner = nullptr) : TOwnedCollection(owner) {}

    // Appends one keyword per space-separated piece of the trimmed text
    // ("a  b" gives "a", "", "b"); a blank text adds nothing. Existing
    // keywords stay.
    void AddFromText(const std::string& text);
    // The values joined with single spaces.
    std::string JoinedText() const;
};

class TiTunesDuration {
public:
    int Second() const { return FSecond; }
    void SetSecond(int value) { FSecond = value; }
    int Minute() const { return FMinute; }
    void SetMinute(int value) { FMinute = value; }
    int Hour() const { return FHour; }
    void SetHour(int value) { FHour = value; }

    // "H:M:SS": hours and minutes unpadded, seconds padded to two digits
    // ("1:2:03").
    std::string Duration() const;
    // Reads "H:M:S" part by part; a part that is no integer (an empty one
    // included) throws ConvertError and the parts read before it stay set.
    void SetDuration(const std::string& text);

private:
    int FSecond = 0;
    int FMinute = 0;
    int FHour = 0;
};

class TiTunesChannelExtra {
public:
    TiTunesChannelExtra();
    TiTunesChannelExtra(const TiTunesChannelExtra&) = delete;
    TiTunesChannelExtra& operator=(const TiTunesChannelExtra&) = delete;

    bool Explict() const { return FExplict; }
    void SetExplict(bool value) { FExplict = value; }
    TiTunesOwner& Owner() { return FOwner; }
    const TiTunesOwner& Owner() const { return FOwner; }
    const std::string& Subtitle() const { return FSubtitle; }
    void SetSubtitle(const std::string& value); // keyed
    const std::string& Summary() const { return FSummary; }
    void SetSummary(const std::string& value); // keyed, cut to 4000 characters
    TiTunesCategory& Category() { return FCategory; }
    const TiTunesCategory& Category() const { return FCategory; }
    bool Block() const { return FBlock; }
    void SetBlock(bool value) { FBlock = value; }
    TiTunesKeywords& KeyWords() { return FKeyWords; }
    const TiTunesKeywords& KeyWords() const { return FKeyWords; }
    const std::string& Author() const { return FAuthor; }
    void SetAuthor(const std::string& value) { FAuthor = value; }
    const std::string& Image() const { return FImage; }
    void SetImage(const std::string& value) { FImage = value; }

    std::string KeyWordsText() const { return FKeyWords.JoinedText(); }
    void SetKeyWordsText(const std::string& text) { FKeyWords.AddFromText(text); }
    std::string ExplicitText() const { return FExplict ? "yes" : "no"; }

private:
    bool FExplict = false;
    TiTunesOwner FOwner;
    std::string FSubtitle;
    std::string FSummary;
    TiTunesCategory FCategory;
    bool FBlock = false;
    TiTunesKeywords FKeyWords;
    std::string FAuthor;
    std::string FImage;
};

class TiTunesItemExtra {
public:
    TiTunesItemExtra();
    TiTunesItemExtra(const TiTunesItemExtra&) = delete;
    TiTunesItemExtra& operator=(const TiTunesItemExtra&) = delete;

    bool Explict() const { return FExplict; }
    void SetExplict(bool value) { FExplict = value; }
    const std::string& Subtitle() const { return FSubtitle; }
    void SetSubtitle(const std::string& value) { FSubtitle = value; }
    const std::string& Summary() const { return FSummary; }
    void SetSummary(const std::string& value); // cut to 4000 characters
    TiTunesCategory& Category() { return FCategory; }
    const TiTunesCategory& Category() const { return FCategory; }
    bool Block() const { return FBlock; }
    void SetBlock(bool value) { FBlock = value; }
    TiTunesKeywords& KeyWords() { return FKeyWords; }
    const TiTunesKeywords& KeyWords() const { return FKeyWords; }
    const std::string& Author() const { return FAuthor; }
    void SetAuthor(const std::string& value) { FAuthor = value; }
    TiTunesDuration& Duration() { return FDuration; }
    const TiTunesDuration& Duration() const { return FDuration; }

    std::string KeyWordsText() const { return FKeyWords.JoinedText(); }
    void SetKeyWordsText(const std::string& text) { FKeyWords.AddFromText(text); }
    std::string ExplicitText() const { return FExplict ? "yes" : "no"; }

private:
    bool FExplict = false;
    std::string FSubtitle;
    std::string FSummary;
    TiTunesCategory FCategory;
    bool FBlock = false;
    TiTunesKeywords FKeyWords;
    std::string FAuthor;
    TiTunesDuration FDuration;
};

} // namespace zavrio
