#include "RSSChannel.h"

#include "platform/TextToolkit.h"

#include <algorithm>

namespace zavrio {

namespace {

const std::string& unlessBlank(const std::string& text) {
    static const std::string empty;
    const bool blank = std::all_of(text.begin(), text.end(), IsBlank);
    return blank ? empty : text;
}

void setKeyed(std::string& field, bool& present, const std::string& value) {
    if (field == value)
        return;
    field = value;
    present = !value.empty();
}

} // namespace

const std::string& TRSSChannelReq::Title() const {
    return unlessBlank(FTitle);
}
const std::string& TRSSChannelReq::Desc() const {
    return unlessBlank(FDesc);
}
const std::string& TRSSChannelReq::Link() const {
    return unlessBlank(FLink);
}

const std::string& TRSSImageReq::Title() const {
    return unlessBlank(FTitle);
}
const std::string& TRSSImageReq::URL() const {
    return unlessBlank(FURL);
}
const std::string& TRSSImageReq::Link() const {
    return unlessBlank(FLink);
}

void TRSSImageOpt::SetHeight(int value) {
    if (value == FHeight)
        return;
    FHeight = std::clamp(value, 0, MaxImageHeight);
    FHeightPresent = true;
}

void TRSSImageOpt::SetWidth(int value) {
    if (value == FWidth)
        return;
    FWidth = std::clamp(value, 0, MaxImageWidth);
    FWidthPresent = true;
}

void TRSSImageOpt::SetDescription(const std::string& value) {
    setKeyed(FDescription, FDescriptionPresent, value);
}

void TRSSChannelCategory::SetDomain(const std::string& value) {
    setKeyed(FDomain, FDomainPresent, value);
}

TRSSChannelOpt::TRSSChannelOpt()
    : FGenerator(std::string("RSS") + " " + SimpleRSSVersionText), FCategories(this) {}

void TRSSChannelOpt::SetTTL(int value) {
    if (value == FTTL)
        return;
    FTTL = value <= 0 ? 0 : value;
    FTTLPresent = true;
}

void TRSSChannelOpt::SetGenerator(const std::string& value) {
    setKeyed(FGenerator, FGeneratorPresent, value);
}

void TRSSChannelOpt::SetManagingEditor(const std::string& value) {
    setKeyed(FManagingEditor, FManagingEditorPresent, value);
}

void TRSSChannelOpt::SetWebMaster(const std::string& value) {
    setKeyed(FWebMaster, FWebMasterPresent, value);
}

void TRSSChannelOpt::SetCopyright(const std::string& value) {
    setKeyed(FCopyright, FCopyrightPresent, value);
}

void TRSSChannelOpt::SetRating(const std::string& value) {
    setKeyed(FRating, FRatingPresent, value);
}

} // namespace zavrio
