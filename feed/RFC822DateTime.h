#pragma once
// A feed date: the clock time written in the feed (no zone arithmetic) and
// the zone text as found. Reading a date never fails: an unreadable RFC 822
// text gives 0 (30 Dec 1899 00:00), an invalid ISO 8601 date gives "now".

#include <string>

#include "feed/DateTimeFunctions.h"

namespace zavrio {

class TRFC822DateTime {
public:
    // TimeZone "GMT", DateTime the local "now" (Now()), not Modified.
    TRFC822DateTime();

    const std::string& TimeZone() const { return FTimeZone; }
    // Sets Modified when the text differs.
    void SetTimeZone(const std::string& value);

    TDateTime DateTime() const { return FDateTime; }
    // Sets Modified when the value differs; an equal value changes nothing.
    void SetDateTime(TDateTime value);

    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }

    // The text last given to LoadFromRFC822 or LoadFromISO8601.
    const std::string& SourceText() const { return FSourceText; }

    // DateTime := RFC822ToDateTime(text); TimeZone is left alone.
    void LoadFromRFC822(const std::string& text);
    // "yyyy-mm-ddThh:nn:ss<zone>": DateTime from the parts, TimeZone from
    // whatever follows the seconds (stored without setting Modified).
    void LoadFromISO8601(const std::string& text);

    // "ddd, dd mmm yyyy hh:nn:ss " + TimeZone, with English day and month
    // names as RFC 822 wants them.
    std::string RFC822Text() const;

private:
    std::string FTimeZone = "GMT";
    TDateTime FDateTime = 0;
    bool FModified = false;
    std::string FSourceText;
};

// The RFC 822 reading: "Sun, 06 Nov 1994 08:49:37 GMT", "06-Nov-94 08:49:37"
// and "Sun Nov 6 08:49:37 1994" all give 6 Nov 1994 08:49:37; the zone is
// ignored; anything unreadable gives 0.
TDateTime RFC822ToDateTime(const std::string& text);

} // namespace zavrio
