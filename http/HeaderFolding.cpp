#include "http/HeaderFolding.h"

namespace zavrio {

namespace {

std::string TrimRightBlanks(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.pop_back();
    }
    return s;
}

std::string TrimLeftBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : s.substr(first);
}

} // namespace

std::vector<std::string> FoldHeaderLine(const std::string& line, std::size_t width) {
    std::vector<std::string> pieces;
    std::string rest = line;
    while (rest.size() > width) {
        // Position 0 of a continuation is its own leading space: breaking
        // there would only produce an empty piece.
        std::size_t best = std::string::npos;
        std::size_t firstBeyond = std::string::npos;
        bool quoted = false;
        for (std::size_t i = 1; i < rest.size(); ++i) {
            const char c = rest[i];
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (quoted || (c != ' ' && c != '\t' && c != ',')) {
                continue;
            }
            const std::string piece = TrimRightBlanks(rest.substr(0, i + 1));
            if (piece.empty() || piece == " " || TrimLeftBlanks(rest.substr(i + 1)).empty()) {
                continue;
            }
            if (piece.size() <= width) {
                best = i;
            } else if (firstBeyond == std::string::npos) {
                firstBeyond = i;
                break;
            }
        }
        const std::size_t at = best != std::string::npos ? best : firstBeyond;
        if (at == std::string::npos) {
            break;
        }
        pieces.push_back(TrimRightBlanks(rest.substr(0, at + 1)));
        rest = " " + TrimLeftBlanks(rest.substr(at + 1));
    }
    pieces.push_back(rest);
    return pieces;
}

} // namespace zavrio
