#include "RSSItem.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <random>

namespace zavrio {

namespace {

void setKeyed(std::string& field, bool& present, std::string&& value) {
    if (field == value)
        return;
    field = std::move(value);
    present = !field.empty();
}

} // namespace

std::string NewGUIDText() {
    // Every entry read without a guid of its own gets one of these, so it
    // must be cheap: one generator for the process, seeded once from the
    // system's entropy, instead of a system call per entry. The text only has
    // to be unique within the feeds one process reads, not unguessable.
    static std::mutex lock;
    static std::mt19937_64 generator{[] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }()};
    std::array<std::uint8_t, 16> bytes;
    {
        std::lock_guard<std::mutex> hold(lock);
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            const std::uint64_t word = generator();
            for (std::size_t k = 0; k < 8; ++k)
                bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
        }
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant

    static constexpr char Hex[] = "0123456789ABCDEF";
    char text[38];
    std::size_t at = 0;
    text[at++] = '{';
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text[at++] = '-';
        text[at++] = Hex[bytes[i] >> 4];
        text[at++] = Hex[bytes[i] & 0x0F];
    }
    text[at++] = '}';
    return std::string(text, at);
}

void TRSSItemCategory::SetDomain(std::string value) {
    setKeyed(FDomain, FDomainPresent, std::move(value));
}

const std::string& TRSSItemGUID::GUID() const {
    if (!FHasGUID) {
        FGUID = NewGUIDText();
        FHasGUID = true;
    }
    return FGUID;
}

void TRSSItemSource::SetURL(std::string value) {
    if (FURL != value)
        FURL = std::move(value);
}

TRSSItem::TRSSItem() : FCategories(this) {}

TiTunesItemExtra& TRSSItem::iTunes() {
    if (!FiTunes)
        FiTunes = std::make_unique<TiTunesItemExtra>();
    return *FiTunes;
}

const TiTunesItemExtra& TRSSItem::iTunes() const {
    static const TiTunesItemExtra none;
    return FiTunes ? *FiTunes : none;
}

void TRSSItem::SetComments(std::string value) {
    setKeyed(FComments, FCommentsPresent, std::move(value));
}

void TRSSItem::SetLink(std::string value) {
    setKeyed(FLink, FLinkPresent, std::move(value));
}

void TRSSItem::SetDescription(std::string value) {
    setKeyed(FDescription, FDescriptionPresent, std::move(value));
}

void TRSSItem::SetTitle(std::string value) {
    setKeyed(FTitle, FTitlePresent, std::move(value));
}

} // namespace zavrio
