#include "RegistryFile.h"

#include "platform/TextToolkit.h"

#include <algorithm>

namespace zavrio {

namespace {

bool samePath(const RegistryFile::KeyPath& a, const RegistryFile::KeyPath& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameTextNoCase);
}

const char kHex[] = "0123456789abcdef";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isControl(unsigned char c) {
    return c < 32 || c == 127;
}

std::string encodeComponent(const std::string& text) {
    std::string out;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (isControl(c) || c == '%' || c == '[' || c == ']') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string quote(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (isControl(c)) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

std::string hexBytes(const std::string& bytes) {
    std::string out;
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

// Reads one line of the file; every method throws with the line's number.
class LineReader {
public:
    LineReader(std::string_view line, const std::string& origin, int number)
        : line_(line), origin_(origin), number_(number) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw RegistryFileError("Invalid registry file " + origin_ + ", line " +
                                std::to_string(number_) + ": " + what);
    }

    bool atEnd() const { return at_ == line_.size(); }
    char peek() const { return atEnd() ? '\0' : line_[at_]; }

    void expect(char c) {
        if (peek() != c)
            fail(std::string("expected '") + c + "'");
        ++at_;
    }

    std::string quoted() {
        expect('"');
        std::string out;
        while (true) {
            if (atEnd())
                fail("unterminated quoted text");
            char c = line_[at_++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (atEnd())
                fail("unterminated escape");
            char e = line_[at_++];
            switch (e) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x':
                out += static_cast<char>(hexPair());
                break;
            default:
                fail(std::string("unknown escape \\") + e);
            }
        }
    }

    int hexPair() {
        if (at_ + 2 > line_.size())
            fail("expected two hex digits");
        int high = hexValue(line_[at_]);
        int low = hexValue(line_[at_ + 1]);
        if (high < 0 || low < 0)
            fail("expected two hex digits");
        at_ += 2;
        return high * 16 + low;
    }

    std::string word() {
        std::size_t start = at_;
        while (!atEnd() && line_[at_] != ':')
            ++at_;
        return std::string(line_.substr(start, at_ - start));
    }

private:
    std::string_view line_;
    const std::string& origin_;
    int number_;
    std::size_t at_ = 0;
};

RegistryFile::KeyPath parseHeader(LineReader& reader, std::string_view inner) {
    RegistryFile::KeyPath path;
    std::string component;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        char c = inner[i];
        if (c == '\\') {
            if (component.empty())
                reader.fail("empty key name in path");
            path.push_back(std::move(component));
            component.clear();
        } else if (c == '%') {
            int high = i + 1 < inner.size() ? hexValue(inner[i + 1]) : -1;
            int low = i + 2 < inner.size() ? hexValue(inner[i + 2]) : -1;
            if (high < 0 || low < 0)
                reader.fail("bad %XX escape in key path");
            component += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            component += c;
        }
    }
    if (component.empty() && !path.empty())
        reader.fail("empty key name in path");
    if (!component.empty())
        path.push_back(std::move(component));
    return path;
}

RegistryFile::Value parseValue(LineReader& reader) {
    RegistryFile::Value value;
    if (reader.peek() == '@')
        reader.expect('@');
    else
        value.name = reader.quoted();
    reader.expect('=');
    std::string type = reader.word();
    reader.expect(':');
    if (type == "string" || type == "expand") {
        value.type = type == "string" ? RegistryFile::ValueType::String
                                      : RegistryFile::ValueType::ExpandString;
        value.data = reader.quoted();
    } else if (type == "dword") {
        value.type = RegistryFile::ValueType::DWord;
        std::uint32_t number = 0;
        for (int i = 0; i < 4; ++i)
            number = number << 8 | static_cast<std::uint32_t>(reader.hexPair());
        for (int i = 0; i < 4; ++i)
            value.data += static_cast<char>(number >> (8 * i) & 0xFF);
    } else if (type == "binary") {
        value.type = RegistryFile::ValueType::Binary;
        while (!reader.atEnd())
            value.data += static_cast<char>(reader.hexPair());
    } else {
        reader.fail("unknown value type '" + type + "'");
    }
    if (!reader.atEnd())
        reader.fail("unexpected text after the value");
    return value;
}

} // namespace

RegistryFile::KeyPath RegistryFile::SplitKeyPath(std::string_view key) {
    KeyPath path;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t end = key.find('\\', start);
        if (end == std::string_view::npos)
            end = key.size();
        if (end > start)
            path.emplace_back(key.substr(start, end - start));
        start = end + 1;
    }
    return path;
}

RegistryFile RegistryFile::Parse(std::string_view text, const std::string& origin) {
    RegistryFile file;
    bool inKey = false;
    KeyPath currentPath;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == ';')
            continue;

        LineReader reader(line, origin, number);
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 2)
                reader.fail("key header without closing ']'");
            currentPath = parseHeader(reader, line.substr(1, line.size() - 2));
            file.ensureKey(currentPath);
            inKey = true;
            continue;
        }
        if (!inKey)
            reader.fail("value before the first key");
        Value value = parseValue(reader);
        if (file.FindValue(currentPath, value.name) != nullptr)
            reader.fail("value " + quote(value.name) + " given twice");
        file.ensureKey(currentPath).values.push_back(std::move(value));
    }
    return file;
}

std::string RegistryFile::Serialize(const std::string& rootName) const {
    std::string out = "; Zavrio registry store, root " + rootName + "\n";
    for (const Key& key : keys_) {
        out += "\n[";
        for (std::size_t i = 0; i < key.path.size(); ++i) {
            if (i > 0)
                out += '\\';
            out += encodeComponent(key.path[i]);
        }
        out += "]\n";
        for (const Value& value : key.values) {
            out += value.name.empty() ? "@" : quote(value.name);
            switch (value.type) {
            case ValueType::String:
                out += "=string:" + quote(value.data);
                break;
            case ValueType::ExpandString:
                out += "=expand:" + quote(value.data);
                break;
            case ValueType::Binary:
                out += "=binary:" + hexBytes(value.data);
                break;
            case ValueType::DWord: {
                std::string bigEndian(value.data.rbegin(), value.data.rend());
                out += "=dword:" + hexBytes(bigEndian);
                break;
            }
            }
            out += '\n';
        }
    }
    return out;
}

// The root key always exists; it gets an entry of its own only to hold values.
bool RegistryFile::HasKey(const KeyPath& path) const {
    return path.empty() || findKey(path) != nullptr;
}

void RegistryFile::CreateKey(const KeyPath& path) {
    ensureKey(path);
}

const RegistryFile::Value* RegistryFile::FindValue(const KeyPath& path,
                                                   const std::string& name) const {
    const Key* key = findKey(path);
    if (key == nullptr)
        return nullptr;
    for (const Value& value : key->values)
        if (SameTextNoCase(value.name, name))
            return &value;
    return nullptr;
}

void RegistryFile::SetValue(const KeyPath& path, const Value& value) {
    Key& key = ensureKey(path);
    for (Value& existing : key.values) {
        if (SameTextNoCase(existing.name, value.name)) {
            existing.type = value.type;
            existing.data = value.data;
            return;
        }
    }
    key.values.push_back(value);
}

const RegistryFile::Key* RegistryFile::findKey(const KeyPath& path) const {
    for (const Key& key : keys_)
        if (samePath(key.path, path))
            return &key;
    return nullptr;
}

RegistryFile::Key& RegistryFile::ensureKey(const KeyPath& path) {
    for (std::size_t length = path.empty() ? 0 : 1; length <= path.size(); ++length) {
        KeyPath prefix(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(length));
        if (findKey(prefix) == nullptr)
            keys_.push_back(Key{prefix, {}});
    }
    for (Key& key : keys_)
        if (samePath(key.path, path))
            return key;
    return keys_.back(); // unreachable: the loop above created it
}

} // namespace zavrio
