#pragma once
// JsonWriter: writes one JSON value to a stream as it is described, in the
// layout the zavrio-feeds commands have always printed (nlohmann's dump with
// an indent of two spaces): a member or element per line, "key": value,
// empty objects and arrays as {} and [], text as UTF-8 with only the quote,
// the backslash and the control characters escaped, and every byte sequence
// that is not UTF-8 shown as U+FFFD.
//
// Nothing is kept but the open containers and a small output buffer, so a
// feed of any size is written without building its picture in memory. The
// caller describes a well-formed value (a Key before each member, every
// container closed); a misuse throws std::logic_error. Output errors are the
// stream's: Flush (and the destructor) hand the buffer to it.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zavrio {

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out);
    ~JsonWriter();
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member of the open object.
    void Key(std::string_view name);

    void String(std::string_view text);
    void Int(std::int64_t value);
    void Bool(bool value);
    void Null();

    // Key(name) followed by the value.
    void Member(std::string_view name, std::string_view text) {
        Key(name);
        String(text);
    }
    void Member(std::string_view name, const char* text) {
        Key(name);
        String(text);
    }
    void Member(std::string_view name, const std::string& text) {
        Key(name);
        String(text);
    }
    void Member(std::string_view name, int value) {
        Key(name);
        Int(value);
    }
    void Member(std::string_view name, bool value) {
        Key(name);
        Bool(value);
    }

    // Hands what is buffered to the stream.
    void Flush();

private:
    struct Open {
        bool object;
        bool empty = true;
    };

    void beforeValue();
    void newLine(std::size_t depth);
    void put(char c) {
        if (used_ == sizeof buffer_)
            Flush();
        buffer_[used_++] = c;
    }
    void put(std::string_view text);
    void putEscaped(std::string_view text);

    std::ostream& out_;
    std::vector<Open> open_;
    bool keyPending_ = false;
    std::size_t used_ = 0;
    char buffer_[1 << 16];
};

} // namespace zavrio
