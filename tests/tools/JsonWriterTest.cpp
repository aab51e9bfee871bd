// JsonWriter against the layout the tool printed through nlohmann's dump:
// the same values written both ways must give the same bytes.
#include "tools/JsonWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zavrio {
namespace {

using ordered_json = nlohmann::ordered_json;

std::string dumped(const ordered_json& value) {
    return value.dump(2, ' ', false, ordered_json::error_handler_t::replace);
}

// Describes value to the writer, member by member.
void describe(JsonWriter& json, const ordered_json& value) {
    if (value.is_object()) {
        json.BeginObject();
        for (const auto& [key, member] : value.items()) {
            json.Key(key);
            describe(json, member);
        }
        json.EndObject();
    } else if (value.is_array()) {
        json.BeginArray();
        for (const ordered_json& element : value)
            describe(json, element);
        json.EndArray();
    } else if (value.is_string()) {
        json.String(value.get_ref<const std::string&>());
    } else if (value.is_boolean()) {
        json.Bool(value.get<bool>());
    } else if (value.is_null()) {
        json.Null();
    } else {
        json.Int(value.get<std::int64_t>());
    }
}

std::string written(const ordered_json& value) {
    std::ostringstream out;
    {
        JsonWriter json(out);
        describe(json, value);
    }
    return out.str();
}

TEST(JsonWriter, LaysOutNestingAndEmptyContainersAsDumpDid) {
    const char* documents[] = {
        "{}",
        "[]",
        R"({"a": [], "b": {}, "c": null})",
        R"([[], [{}], [[[]]], [1, [2, [3]]]])",
        R"({"XMLType": "xtRSS", "Items": [{"Title": "t", "Categories": [], "iTunes": {"KeyWords": ["a", ""]}}]})",
        R"([true, false, null, 0, -1, 9223372036854775807, -9223372036854775808])",
        R"({"deep": {"er": {"est": [{"x": {}}, {"y": []}]}}})",
        R"("lone text")",
        "42",
    };
    for (const char* document : documents) {
        const ordered_json value = ordered_json::parse(document);
        EXPECT_EQ(written(value), dumped(value)) << document;
    }
}

TEST(JsonWriter, EscapesKeysLikeTexts) {
    ordered_json value = {{"quote\" back\\ nl\n", 1}, {"caf\xC3\xA9 \xFF", 2}};
    EXPECT_EQ(written(value), dumped(value));
}

// Every text up to four bytes long over an alphabet of the bytes where the
// rules change: the escapes, the ASCII edge, continuation bytes at the edges
// of the ranges that each lead byte allows, the lead bytes with narrowed
// ranges (E0, ED, F0, F4) and the bytes that never start a sequence.
TEST(JsonWriter, ReplacesWhatIsNotUtf8ExactlyAsDumpDid) {
    const std::vector<char> alphabet = {'\x00', '\x08', '\x1F', '"',    'A',    '\\',   '\x7F',
                                        '\x80', '\x8F', '\x90', '\x9F', '\xA0', '\xBF', '\xC0',
                                        '\xC1', '\xC2', '\xDF', '\xE0', '\xE1', '\xED', '\xEF',
                                        '\xF0', '\xF1', '\xF4', '\xF5', '\xFF'};
    std::string text;
    int mismatches = 0;
    auto tryAll = [&](auto& self, std::size_t length) -> void {
        const ordered_json value = text;
        if (written(value) != dumped(value) && ++mismatches <= 5) {
            std::string hex;
            for (unsigned char c : text)
                hex += std::to_string(c) + " ";
            ADD_FAILURE() << "text with bytes " << hex;
        }
        if (text.size() == length)
            return;
        for (char c : alphabet) {
            text.push_back(c);
            self(self, length);
            text.pop_back();
        }
    };
    tryAll(tryAll, 4);
    EXPECT_EQ(mismatches, 0);
}

TEST(JsonWriter, KeepsWholeSequencesAndReplacesBrokenOnesInLongTexts) {
    const std::string texts[] = {
        "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF \xED\x9F\xBF \xEE\x80\x80",
        "cut \xF0\x9F\x98", // broken off at the end
        "\xE2\x82x\xF0\x9F\x98"
        "A\xC3",        // broken off by a character
        "\xE2\xC3\xA9", // by the lead of a whole sequence
        "tab\tnl\ncr\rff\fbs\bnul-free\x01\x1F",
    };
    for (const std::string& text : texts) {
        const ordered_json value = {{"Description", text}};
        EXPECT_EQ(written(value), dumped(value)) << text;
    }
}

// The writer's buffer is 64 KiB; texts and escapes that straddle its end
// must come out whole.
TEST(JsonWriter, WritesMoreThanItsBufferHolds) {
    ordered_json items = ordered_json::array();
    for (int i = 0; i < 3000; ++i)
        items.push_back(
            {{"Title", "clip " + std::to_string(i) + " \"q\" \xC3\xA9\n"},
             {"Description", std::string(static_cast<std::size_t>(i % 97), 'x') + "\xFF"},
             {"Length", i}});
    const ordered_json value = {{"Items", items}, {"Long", std::string(200000, '\\')}};
    EXPECT_EQ(written(value), dumped(value));
}

TEST(JsonWriter, RefusesAValueThatIsNotWellFormed) {
    std::ostringstream out;
    JsonWriter json(out);
    json.BeginObject();
    EXPECT_THROW(json.String("member without a key"), std::logic_error);
    EXPECT_THROW(json.EndArray(), std::logic_error);
    json.Key("list");
    EXPECT_THROW(json.Key("second key"), std::logic_error);
    EXPECT_THROW(json.EndObject(), std::logic_error);
    json.BeginArray();
    EXPECT_THROW(json.Key("key in an array"), std::logic_error);
    EXPECT_THROW(json.EndObject(), std::logic_error);
    json.EndArray();
    json.EndObject();
    json.Flush();
    EXPECT_EQ(out.str(), "{\n  \"list\": []\n}");
}

} // namespace
} // namespace zavrio
