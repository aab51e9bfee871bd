#include "playback/CopyClaims.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace zavrio {

namespace {

// "copy PID START", then a tab before each address; an address holding a tab
// or a line break is not claimed.
struct Claim {
    CopyId Copy;
    std::vector<std::string> Addresses;
};

std::vector<Claim> readClaims(const std::string& path) {
    std::vector<Claim> claims;
    for (const std::string& line : ReadRecord(path)) {
        if (!line.starts_with("copy "))
            continue;
        std::vector<std::string> fields;
        for (std::size_t at = 5;;) {
            const std::size_t tab = line.find('\t', at);
            fields.push_back(line.substr(at, tab - at));
            if (tab == std::string::npos)
                break;
            at = tab + 1;
        }
        if (const auto copy = CopyId::Parse(fields.front()))
            claims.push_back({*copy, {fields.begin() + 1, fields.end()}});
    }
    return claims;
}

struct Record {
    std::string Directory;
    std::string Path;
    CopyId Self;
    CopyLiveness Alive;
};

} // namespace

Neighbours ClipClaimsOfOtherCopies(std::string directory, CopyId self, CopyLiveness alive) {
    auto record =
        std::make_shared<Record>(Record{directory, directory + "/claims", self, std::move(alive)});
    Neighbours neighbours;
    neighbours.Plays = [record](const std::string& address) {
        const RecordLock lock(record->Directory);
        for (const Claim& claim : readClaims(record->Path))
            if (!(claim.Copy == record->Self) &&
                std::find(claim.Addresses.begin(), claim.Addresses.end(), address) !=
                    claim.Addresses.end() &&
                record->Alive(claim.Copy))
                return true;
        return false;
    };
    neighbours.Claim = [record](const std::vector<std::string>& addresses) {
        const RecordLock lock(record->Directory);
        std::vector<std::string> lines;
        for (const Claim& claim : readClaims(record->Path)) {
            if (claim.Copy == record->Self || !record->Alive(claim.Copy))
                continue;
            std::string line = "copy " + claim.Copy.ToString();
            for (const std::string& address : claim.Addresses)
                line += "\t" + address;
            lines.push_back(line);
        }
        if (!addresses.empty()) {
            std::string line = "copy " + record->Self.ToString();
            for (const std::string& address : addresses)
                if (address.find_first_of("\t\n") == std::string::npos)
                    line += "\t" + address;
            lines.push_back(line);
        }
        WriteRecord(record->Path, lines);
    };
    return neighbours;
}

} // namespace zavrio
