#include "http/HeaderFolding.h"

namespace zavrio {

namespace {

bool isSpaceOrTab(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

// The line is walked once: each piece is found by a scan from its start to
// the first break place beyond the width, and the rest of the line is never
// copied, so a Cookie header of thousands of cookies folds in linear time.
std::vector<std::string> FoldHeaderLine(const std::string& line, std::size_t width) {
    // Continuation pieces read as " " + line[start...]; rest(r) is the r-th
    // character of the text still to fold.
    std::size_t start = 0;
    bool continuation = false;
    const std::size_t lastSolid = line.find_last_not_of(" \t"); // npos: all blank
    auto restSize = [&] { return line.size() - start + (continuation ? 1 : 0); };
    auto at = [&](std::size_t r) { return continuation ? start + r - 1 : start + r; };
    auto rest = [&](std::size_t r) { return continuation && r == 0 ? ' ' : line[at(r)]; };
    auto piece = [&](std::size_t length) {
        return continuation ? " " + line.substr(start, length - 1) : line.substr(start, length);
    };

    std::vector<std::string> pieces;
    while (restSize() > width) {
        // Position 0 of a continuation is its own leading space: breaking
        // there would only produce an empty piece.
        std::size_t best = 0, bestLength = 0;
        std::size_t beyond = 0, beyondLength = 0;
        bool quoted = false;
        long solid = isSpaceOrTab(rest(0)) ? -1 : 0; // last non-blank position so far
        for (std::size_t r = 1; r < restSize(); ++r) {
            const char c = rest(r);
            if (!isSpaceOrTab(c))
                solid = static_cast<long>(r);
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (quoted || (c != ' ' && c != '\t' && c != ','))
                continue;
            // The piece is rest[0..r] without its trailing blanks; a break
            // with nothing but blanks after it folds nothing.
            const auto length = static_cast<std::size_t>(solid + 1);
            if (length == 0 || lastSolid == std::string::npos || at(r) >= lastSolid)
                continue;
            if (length <= width) {
                best = r;
                bestLength = length;
            } else {
                beyond = r;
                beyondLength = length;
                break;
            }
        }
        const std::size_t breakAt = best ? best : beyond;
        if (!breakAt)
            break;
        pieces.push_back(piece(best ? bestLength : beyondLength));
        start = line.find_first_not_of(" \t", at(breakAt) + 1);
        continuation = true;
    }
    pieces.push_back(piece(restSize()));
    return pieces;
}

} // namespace zavrio
