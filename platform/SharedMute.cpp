#include "platform/SharedMute.h"

#include <algorithm>
#include <vector>

namespace zavrio {

namespace {

// The record: "found muted" or "found unmuted", then "copy PID START" for
// each holder.
constexpr std::string_view FoundPrefix = "found ";
constexpr std::string_view CopyPrefix = "copy ";

struct Record {
    std::optional<bool> FoundMuted;
    std::vector<CopyId> Holders;
};

Record parse(const std::vector<std::string>& lines) {
    Record record;
    for (const std::string& line : lines) {
        if (line.starts_with(FoundPrefix))
            record.FoundMuted = line.substr(FoundPrefix.size()) == "muted";
        else if (line.starts_with(CopyPrefix))
            if (const auto copy = CopyId::Parse(std::string_view(line).substr(CopyPrefix.size())))
                record.Holders.push_back(*copy);
    }
    return record;
}

std::vector<std::string> lines(const Record& record) {
    std::vector<std::string> out;
    if (!record.FoundMuted)
        return out;
    out.push_back(std::string(FoundPrefix) + (*record.FoundMuted ? "muted" : "unmuted"));
    for (const CopyId& copy : record.Holders)
        out.push_back(std::string(CopyPrefix) + copy.ToString());
    return out;
}

} // namespace

SharedMute::SharedMute(std::string directory, SinkMute sink, CopyId self, CopyLiveness alive)
    : record_(directory + "/mute"), directory_(std::move(directory)), sink_(std::move(sink)),
      self_(self), alive_(std::move(alive)) {}

void SharedMute::Hold() {
    if (holding_)
        return;
    const RecordLock lock(directory_);
    Record record = parse(ReadRecord(record_));
    std::erase_if(record.Holders,
                  [&](const CopyId& copy) { return copy == self_ || !alive_(copy); });
    if (!record.FoundMuted) {
        record.FoundMuted = sink_.Get();
        if (!record.FoundMuted)
            return; // no sink to mute
    }
    sink_.Set(true);
    record.Holders.push_back(self_);
    WriteRecord(record_, lines(record));
    holding_ = true;
    found_ = record.FoundMuted;
}

void SharedMute::Release() {
    if (!holding_)
        return;
    holding_ = false;
    const RecordLock lock(directory_);
    Record record = parse(ReadRecord(record_));
    std::erase_if(record.Holders,
                  [&](const CopyId& copy) { return copy == self_ || !alive_(copy); });
    if (!record.Holders.empty()) {
        WriteRecord(record_, lines(record));
        return;
    }
    // A record that could not be kept (a folder this user cannot write) still
    // leaves what this copy found itself.
    if (const std::optional<bool> found = record.FoundMuted ? record.FoundMuted : found_)
        sink_.Set(*found);
    WriteRecord(record_, {});
}

} // namespace zavrio
