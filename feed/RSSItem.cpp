#include "RSSItem.h"

#include <uuid/uuid.h>

namespace zavrio {

namespace {

void setKeyed(std::string& field, bool& present, const std::string& value) {
    if (field == value)
        return;
    field = value;
    present = !value.empty();
}

} // namespace

std::string NewGUIDText() {
    uuid_t id;
    uuid_generate_random(id);
    char text[37];
    uuid_unparse_upper(id, text);
    return "{" + std::string(text) + "}";
}

void TRSSItemCategory::SetDomain(const std::string& value) {
    setKeyed(FDomain, FDomainPresent, value);
}

TRSSItemGUID::TRSSItemGUID() : FGUID(NewGUIDText()) {}

void TRSSItemSource::SetURL(const std::string& value) {
    if (FURL != value)
        FURL = value;
}

TRSSItem::TRSSItem() : FCategories(this) {}

void TRSSItem::SetComments(const std::string& value) {
    setKeyed(FComments, FCommentsPresent, value);
}

void TRSSItem::SetLink(const std::string& value) {
    setKeyed(FLink, FLinkPresent, value);
}

void TRSSItem::SetDescription(const std::string& value) {
    setKeyed(FDescription, FDescriptionPresent, value);
}

void TRSSItem::SetTitle(const std::string& value) {
    setKeyed(FTitle, FTitlePresent, value);
}

} // namespace zavrio
