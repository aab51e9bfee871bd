#include "tools/JsonWriter.h"

#include <charconv>
#include <stdexcept>

namespace zavrio {

namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD"; // U+FFFD

// How many continuation bytes follow lead, and the range the first of them
// must lie in (well-formed UTF-8 as Unicode defines it: no overlong forms, no
// surrogates, nothing above U+10FFFF); 0 continuations for a byte that cannot
// start a sequence.
struct Lead {
    int continuations;
    unsigned char low;
    unsigned char high;
};

Lead leadOf(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF)
        return {1, 0x80, 0xBF};
    if (c == 0xE0)
        return {2, 0xA0, 0xBF};
    if (c == 0xED)
        return {2, 0x80, 0x9F};
    if (c >= 0xE1 && c <= 0xEF)
        return {2, 0x80, 0xBF};
    if (c == 0xF0)
        return {3, 0x90, 0xBF};
    if (c >= 0xF1 && c <= 0xF3)
        return {3, 0x80, 0xBF};
    if (c == 0xF4)
        return {3, 0x80, 0x8F};
    return {0, 0, 0};
}

} // namespace

JsonWriter::JsonWriter(std::ostream& out) : out_(out) {}

JsonWriter::~JsonWriter() {
    Flush();
}

void JsonWriter::Flush() {
    out_.write(buffer_, static_cast<std::streamsize>(used_));
    used_ = 0;
}

void JsonWriter::put(std::string_view text) {
    while (!text.empty()) {
        if (used_ == sizeof buffer_)
            Flush();
        const std::size_t n = std::min(text.size(), sizeof buffer_ - used_);
        text.copy(buffer_ + used_, n);
        used_ += n;
        text.remove_prefix(n);
    }
}

void JsonWriter::newLine(std::size_t depth) {
    put('\n');
    for (std::size_t i = 0; i < depth; ++i)
        put("  ");
}

void JsonWriter::beforeValue() {
    if (open_.empty())
        return;
    Open& parent = open_.back();
    if (parent.object) {
        if (!keyPending_)
            throw std::logic_error("JsonWriter: a member value without a key");
        keyPending_ = false;
        return;
    }
    put(parent.empty ? "" : ",");
    parent.empty = false;
    newLine(open_.size());
}

void JsonWriter::Key(std::string_view name) {
    if (open_.empty() || !open_.back().object || keyPending_)
        throw std::logic_error("JsonWriter: a key outside an object or twice");
    Open& parent = open_.back();
    put(parent.empty ? "" : ",");
    parent.empty = false;
    newLine(open_.size());
    put('"');
    putEscaped(name);
    put("\": ");
    keyPending_ = true;
}

void JsonWriter::BeginObject() {
    beforeValue();
    put('{');
    open_.push_back({true});
}

void JsonWriter::BeginArray() {
    beforeValue();
    put('[');
    open_.push_back({false});
}

void JsonWriter::EndObject() {
    if (open_.empty() || !open_.back().object || keyPending_)
        throw std::logic_error("JsonWriter: no object to close");
    const bool empty = open_.back().empty;
    open_.pop_back();
    if (!empty)
        newLine(open_.size());
    put('}');
}

void JsonWriter::EndArray() {
    if (open_.empty() || open_.back().object)
        throw std::logic_error("JsonWriter: no array to close");
    const bool empty = open_.back().empty;
    open_.pop_back();
    if (!empty)
        newLine(open_.size());
    put(']');
}

void JsonWriter::String(std::string_view text) {
    beforeValue();
    put('"');
    putEscaped(text);
    put('"');
}

void JsonWriter::Int(std::int64_t value) {
    beforeValue();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void JsonWriter::Bool(bool value) {
    beforeValue();
    put(value ? "true" : "false");
}

void JsonWriter::Null() {
    beforeValue();
    put("null");
}

// Written by hand rather than through nlohmann: the output must stay byte for
// byte what nlohmann's dump printed, and nlohmann escapes only whole values
// that it holds itself. The rules are its own: \b \t \n \f \r \" \\ by name,
// the other characters below U+0020 as \u00xx, everything else as it is; a
// sequence that breaks off is replaced by one U+FFFD and the byte that broke
// it is read again, a byte that cannot start a sequence is one U+FFFD.
void JsonWriter::putEscaped(std::string_view text) {
    const std::size_t size = text.size();
    std::size_t plain = 0; // start of the run not yet written
    std::size_t i = 0;
    auto flushRun = [&](std::size_t end) { put(text.substr(plain, end - plain)); };
    while (i < size) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x80 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        if (c < 0x80) {
            flushRun(i);
            switch (c) {
            case '"':
                put("\\\"");
                break;
            case '\\':
                put("\\\\");
                break;
            case '\b':
                put("\\b");
                break;
            case '\t':
                put("\\t");
                break;
            case '\n':
                put("\\n");
                break;
            case '\f':
                put("\\f");
                break;
            case '\r':
                put("\\r");
                break;
            default: {
                static constexpr char Hex[] = "0123456789abcdef";
                const char escaped[] = {'\\', 'u', '0', '0', Hex[c >> 4], Hex[c & 0x0F]};
                put(std::string_view(escaped, sizeof escaped));
            }
            }
            plain = ++i;
            continue;
        }
        const Lead lead = leadOf(c);
        std::size_t k = 1; // the first byte that does not belong
        while (k <= static_cast<std::size_t>(lead.continuations) && i + k < size) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? lead.low : 0x80) || next > (k == 1 ? lead.high : 0xBF))
                break;
            ++k;
        }
        if (lead.continuations > 0 && k == static_cast<std::size_t>(lead.continuations) + 1) {
            i += k;
            continue;
        }
        // A byte that cannot start a sequence is dropped; a sequence that
        // breaks off loses the bytes it had, and the byte that broke it (if
        // the text goes on) is read afresh.
        flushRun(i);
        put(Replacement);
        i += lead.continuations == 0 ? 1 : k;
        plain = i;
    }
    flushRun(size);
}

} // namespace zavrio
