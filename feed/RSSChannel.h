#pragma once
// The channel of a feed and its parts. A keyed text setter stores only a text
// that differs from the stored one; "with presence flag" means it also records
// whether the new text is non-empty. Presence flags exist for feed writing.
// Every part is owned by value and lives as long as its owner.

#include <array>
#include <string>

#include "feed/Languages.h"
#include "feed/OwnedCollection.h"
#include "feed/RFC822DateTime.h"
#include "feed/iTunesExtra.h"

namespace zavrio {

// Required channel texts. A getter reads "" while the stored text is blank
// (only codes 32 and below), the stored text otherwise. Beside each: where
// it comes from in RSS 2.0 (and podcasts) / RDF / Atom.
class TRSSChannelReq {
public:
    // "title" / "title" in "channel" or at the root / "title".
    const std::string& Title() const;
    void SetTitle(const std::string& value) { FTitle = value; }
    // "description" / "description" in "channel" or at the root / "tagline".
    const std::string& Desc() const;
    void SetDesc(const std::string& value) { FDesc = value; }
    // "link" / "link" in "channel" or at the root / the last "link"'s "href".
    const std::string& Link() const;
    void SetLink(const std::string& value) { FLink = value; }

private:
    std::string FTitle;
    std::string FDesc;
    std::string FLink;
};

// Required image texts; getters as in TRSSChannelReq.
class TRSSImageReq {
public:
    const std::string& Title() const;
    void SetTitle(const std::string& value) { FTitle = value; }
    const std::string& URL() const;
    void SetURL(const std::string& value) { FURL = value; }
    const std::string& Link() const;
    void SetLink(const std::string& value) { FLink = value; }

private:
    std::string FTitle;
    std::string FURL;
    std::string FLink;
};

inline constexpr int MaxImageHeight = 400;
inline constexpr int MaxImageWidth = 144;

class TRSSImageOpt {
public:
    int Height() const { return FHeight; }
    // Clamped to 0..400; a changed value sets the presence flag.
    void SetHeight(int value);
    int Width() const { return FWidth; }
    // Clamped to 0..144; a changed value sets the presence flag.
    void SetWidth(int value);
    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& value); // keyed, with presence flag

    bool DescriptionPresent() const { return FDescriptionPresent; }
    bool HeightPresent() const { return FHeightPresent; }
    bool WidthPresent() const { return FWidthPresent; }

private:
    int FHeight = 0;
    int FWidth = 0;
    std::string FDescription;
    bool FDescriptionPresent = false;
    bool FHeightPresent = false;
    bool FWidthPresent = false;
};

class TRSSImage {
public:
    TRSSImageOpt& Optional() { return FOptional; }
    const TRSSImageOpt& Optional() const { return FOptional; }
    TRSSImageReq& Required() { return FRequired; }
    const TRSSImageReq& Required() const { return FRequired; }
    // The image element is present in the feed.
    bool Include() const { return FInclude; }
    void SetInclude(bool value) { FInclude = value; }

private:
    TRSSImageOpt FOptional;
    TRSSImageReq FRequired;
    bool FInclude = false;
};

class TRSSCloud {
public:
    int Port() const { return FPort; }
    // Any value of 1 or below is stored as 1; the constructor leaves 0.
    void SetPort(int value) { FPort = value <= 1 ? 1 : value; }
    const std::string& Protocol() const { return FProtocol; }
    void SetProtocol(const std::string& value) { FProtocol = value; }
    const std::string& Domain() const { return FDomain; }
    void SetDomain(const std::string& value) { FDomain = value; }
    const std::string& RegisterProcedure() const { return FRegisterProcedure; }
    void SetRegisterProcedure(const std::string& value) { FRegisterProcedure = value; }
    const std::string& Path() const { return FPath; }
    void SetPath(const std::string& value) { FPath = value; }
    bool Include() const { return FInclude; }
    void SetInclude(bool value) { FInclude = value; }

private:
    int FPort = 0;
    std::string FProtocol;
    std::string FDomain;
    std::string FRegisterProcedure;
    std::string FPath;
    bool FInclude = false;
};

class TRSSTextInput {
public:
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& value) { FTitle = value; }
    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& value) { FDescription = value; }
    const std::string& Link() const { return FLink; }
    void SetLink(const std::string& value) { FLink = value; }
    const std::string& TextInputName() const { return FTextInputName; }
    void SetTextInputName(const std::string& value) { FTextInputName = value; }
    bool Include() const { return FInclude; }
    void SetInclude(bool value) { FInclude = value; }

private:
    std::string FTitle;
    std::string FDescription;
    std::string FLink;
    std::string FTextInputName;
    bool FInclude = false;
};

class TRSSChannelCategory {
public:
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& value) { FCategory = value; }
    const std::string& Domain() const { return FDomain; }
    void SetDomain(const std::string& value); // keyed, with presence flag
    bool DomainPresent() const { return FDomainPresent; }

private:
    std::string FCategory;
    std::string FDomain;
    bool FDomainPresent = false;
};

class TRSSChannelOpt;

class TRSSChannelCategories : public TOwnedCollection<TRSSChannelCategory, TRSSChannelOpt> {
public:
    using TOwnedCollection::TOwnedCollection;
};

// The hours of the day (0-23) in which readers should not poll the feed.
class TRSSChannelSkipHours {
public:
    // hour 0..23; throws std::out_of_range otherwise.
    bool Hour(int hour) const { return FHours.at(static_cast<std::size_t>(hour)); }
    void SetHour(int hour, bool value) { FHours.at(static_cast<std::size_t>(hour)) = value; }

    bool h00() const { return FHours[0]; }
    void Seth00(bool value) { FHours[0] = value; }
    bool h01() const { return FHours[1]; }
    void Seth01(bool value) { FHours[1] = value; }
    bool h02() const { return FHours[2]; }
    void Seth02(bool value) { FHours[2] = value; }
    bool h03() const { return FHours[3]; }
    void Seth03(bool value) { FHours[3] = value; }
    bool h04() const { return FHours[4]; }
    void Seth04(bool value) { FHours[4] = value; }
    bool h05() const { return FHours[5]; }
    void Seth05(bool value) { FHours[5] = value; }
    bool h06() const { return FHours[6]; }
    void Seth06(bool value) { FHours[6] = value; }
    bool h07() const { return FHours[7]; }
    void Seth07(bool value) { FHours[7] = value; }
    bool h08() const { return FHours[8]; }
    void Seth08(bool value) { FHours[8] = value; }
    bool h09() const { return FHours[9]; }
    void Seth09(bool value) { FHours[9] = value; }
    bool h10() const { return FHours[10]; }
    void Seth10(bool value) { FHours[10] = value; }
    bool h11() const { return FHours[11]; }
    void Seth11(bool value) { FHours[11] = value; }
    bool h12() const { return FHours[12]; }
    void Seth12(bool value) { FHours[12] = value; }
    bool h13() const { return FHours[13]; }
    void Seth13(bool value) { FHours[13] = value; }
    bool h14() const { return FHours[14]; }
    void Seth14(bool value) { FHours[14] = value; }
    bool h15() const { return FHours[15]; }
    void Seth15(bool value) { FHours[15] = value; }
    bool h16() const { return FHours[16]; }
    void Seth16(bool value) { FHours[16] = value; }
    bool h17() const { return FHours[17]; }
    void Seth17(bool value) { FHours[17] = value; }
    bool h18() const { return FHours[18]; }
    void Seth18(bool value) { FHours[18] = value; }
    bool h19() const { return FHours[19]; }
    void Seth19(bool value) { FHours[19] = value; }
    bool h20() const { return FHours[20]; }
    void Seth20(bool value) { FHours[20] = value; }
    bool h21() const { return FHours[21]; }
    void Seth21(bool value) { FHours[21] = value; }
    bool h22() const { return FHours[22]; }
    void Seth22(bool value) { FHours[22] = value; }
    bool h23() const { return FHours[23]; }
    void Seth23(bool value) { FHours[23] = value; }

private:
    std::array<bool, 24> FHours{};
};

class TRSSChannelSkipDays {
public:
    bool Monday() const { return FMonday; }
    void SetMonday(bool value) { FMonday = value; }
    bool Tuesday() const { return FTuesday; }
    void SetTuesday(bool value) { FTuesday = value; }
    bool Wednesday() const { return FWednesday; }
    void SetWednesday(bool value) { FWednesday = value; }
    bool Thursday() const { return FThursday; }
    void SetThursday(bool value) { FThursday = value; }
    bool Friday() const { return FFriday; }
    void SetFriday(bool value) { FFriday = value; }
    bool Saturday() const { return FSaturday; }
    void SetSaturday(bool value) { FSaturday = value; }
    bool Sunday() const { return FSunday; }
    void SetSunday(bool value) { FSunday = value; }

private:
    bool FMonday = false;
    bool FTuesday = false;
    bool FWednesday = false;
    bool FThursday = false;
    bool FFriday = false;
    bool FSaturday = false;
    bool FSunday = false;
};

inline constexpr int DefaultTTL = 60;
inline constexpr const char* SimpleRSSVersionText = "0.4.1";

// The optional channel parts. They come from the same-named RSS 2.0
// elements of "channel" in RSS and podcasts, and of the root in RDF; Atom
// reads only the shared vocabulary (language, ttl, image, rating, textInput,
// skipHours, skipDays) and the two noted below.
class TRSSChannelOpt {
public:
    TRSSChannelOpt();
    TRSSChannelOpt(const TRSSChannelOpt&) = delete;
    TRSSChannelOpt& operator=(const TRSSChannelOpt&) = delete;

    int TTL() const { return FTTL; }
    // A changed value is stored (0 for any value of 0 or below) and marks the
    // TTL present.
    void SetTTL(int value);
    // "generator", in Atom too.
    const std::string& Generator() const { return FGenerator; }
    void SetGenerator(const std::string& value); // keyed, with presence flag
    const std::string& ManagingEditor() const { return FManagingEditor; }
    void SetManagingEditor(const std::string& value); // keyed, with presence flag
    const std::string& WebMaster() const { return FWebMaster; }
    void SetWebMaster(const std::string& value); // keyed, with presence flag
    const std::string& Copyright() const { return FCopyright; }
    void SetCopyright(const std::string& value); // keyed, with presence flag
    TRFC822DateTime& LastBuildDate() { return FLastBuildDate; }
    const TRFC822DateTime& LastBuildDate() const { return FLastBuildDate; }
    // "pubDate"; Atom: "modified".
    TRFC822DateTime& PubDate() { return FPubDate; }
    const TRFC822DateTime& PubDate() const { return FPubDate; }
    TRSSImage& Image() { return FImage; }
    const TRSSImage& Image() const { return FImage; }
    TLanguages Language() const { return FLanguage; }
    void SetLanguage(TLanguages value) { FLanguage = value; }
    TRSSCloud& Cloud() { return FCloud; }
    const TRSSCloud& Cloud() const { return FCloud; }
    TRSSChannelCategories& Categories() { return FCategories; }
    const TRSSChannelCategories& Categories() const { return FCategories; }
    TRSSChannelSkipHours& SkipHours() { return FSkipHours; }
    const TRSSChannelSkipHours& SkipHours() const { return FSkipHours; }
    TRSSChannelSkipDays& SkipDays() { return FSkipDays; }
    const TRSSChannelSkipDays& SkipDays() const { return FSkipDays; }
    TRSSTextInput& TextInput() { return FTextInput; }
    const TRSSTextInput& TextInput() const { return FTextInput; }
    const std::string& Docs() const { return FDocs; }
    void SetDocs(const std::string& value) { FDocs = value; }
    const std::string& Rating() const { return FRating; }
    void SetRating(const std::string& value); // keyed, with presence flag
    // The language text of a feed whose language has no code here (langX).
    const std::string& XLang() const { return FXLang; }
    void SetXLang(const std::string& value) { FXLang = value; }

    bool CopyrightPresent() const { return FCopyrightPresent; }
    bool ManagingEditorPresent() const { return FManagingEditorPresent; }
    bool WebMasterPresent() const { return FWebMasterPresent; }
    bool TTLPresent() const { return FTTLPresent; }
    bool GeneratorPresent() const { return FGeneratorPresent; }
    bool RatingPresent() const { return FRatingPresent; }

private:
    int FTTL = DefaultTTL;
    std::string FGenerator;
    std::string FManagingEditor;
    std::string FWebMaster;
    std::string FCopyright;
    TRFC822DateTime FLastBuildDate;
    TRFC822DateTime FPubDate;
    TRSSImage FImage;
    TLanguages FLanguage = langEN;
    TRSSCloud FCloud;
    bool FCopyrightPresent = false;
    bool FManagingEditorPresent = false;
    bool FWebMasterPresent = false;
    bool FTTLPresent = false;
    bool FGeneratorPresent = false;
    TRSSChannelCategories FCategories;
    TRSSChannelSkipHours FSkipHours;
    TRSSChannelSkipDays FSkipDays;
    TRSSTextInput FTextInput;
    std::string FDocs = "Doc";
    bool FRatingPresent = false;
    std::string FRating;
    std::string FXLang;
};

// One feed's channel: required texts, optional elements, iTunes fields.
class TRSSChannel {
public:
    TRSSChannel() = default;
    TRSSChannel(const TRSSChannel&) = delete;
    TRSSChannel& operator=(const TRSSChannel&) = delete;

    TRSSChannelOpt& Optional() { return FOptional; }
    const TRSSChannelOpt& Optional() const { return FOptional; }
    TRSSChannelReq& Required() { return FRequired; }
    const TRSSChannelReq& Required() const { return FRequired; }
    // The channel's own address as an RDF resource; no parser fills it.
    const std::string& AboutURL() const { return FAboutURL; }
    void SetAboutURL(const std::string& value) { FAboutURL = value; }
    TiTunesChannelExtra& iTunes() { return FiTunes; }
    const TiTunesChannelExtra& iTunes() const { return FiTunes; }

private:
    TRSSChannelOpt FOptional;
    TRSSChannelReq FRequired;
    std::string FAboutURL;
    TiTunesChannelExtra FiTunes;
};

} // namespace zavrio
