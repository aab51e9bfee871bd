#include "SettingsCommand.h"

#include "platform/IntConvert.h"
#include "settings/SaverSettings.h"
#include "tools/ToolOptions.h"

#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

namespace zavrio {

namespace {

const SettingsField* findField(const std::string& name) {
    for (const SettingsField& field : SettingsFields())
        if (name == field.Name)
            return &field;
    return nullptr;
}

// Names the keys set accepts, and where the catalogue is changed instead.
std::string unknownOptionText(const std::string& key) {
    std::string text = "unknown option '" + key + "'; the options are";
    const char* separator = " ";
    for (const SettingsField& field : SettingsFields()) {
        text += separator;
        text += field.Name;
        separator = ", ";
    }
    text += " (feeds are changed with: zavrio-feeds feeds add|rename|move|remove)";
    return text;
}

std::optional<bool> parseBool(const std::string& text) {
    if (text == "1" || text == "true")
        return true;
    if (text == "0" || text == "false")
        return false;
    return std::nullopt;
}

} // namespace

int runSettingsCommand(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    std::string ini = TakeIniOption(args);
    if (!args.empty())
        throw UsageError("unexpected argument '" + args.front() + "'");
    LoadSettings(ini);

    nlohmann::ordered_json out;
    out["file"] = SettingsFile->FileName();
    for (const SettingsField& field : SettingsFields()) {
        if (field.IsBoolean())
            out[field.Name] = Settings.*std::get<0>(field.Member);
        else
            out[field.Name] = Settings.*std::get<1>(field.Member);
    }
    out["catalogue"] = nlohmann::ordered_json::array();
    for (const auto& [name, address] : FeedCatalogue())
        out["catalogue"].push_back({{"name", name}, {"address", address}});
    // The file may hold any bytes; what is not UTF-8 shows as U+FFFD.
    std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return 0;
}

int runSetCommand(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    std::string ini = TakeIniOption(args);
    if (args.empty())
        throw UsageError("set needs at least one KEY=VALUE");

    // Check every assignment before touching anything, so a bad one leaves
    // the file as it was.
    struct Assignment {
        const SettingsField* field;
        std::int32_t value;
    };
    std::vector<Assignment> assignments;
    for (const std::string& arg : args) {
        auto eq = arg.find('=');
        if (eq == std::string::npos)
            throw UsageError("'" + arg + "' is not of the form KEY=VALUE");
        std::string key = arg.substr(0, eq), text = arg.substr(eq + 1);
        const SettingsField* field = findField(key);
        if (!field)
            throw UsageError(unknownOptionText(key));
        if (field->IsBoolean()) {
            auto value = parseBool(text);
            if (!value)
                throw UsageError("option '" + key + "' takes 0, 1, true or false, not '" + text +
                                 "'");
            assignments.push_back({field, *value ? 1 : 0});
        } else {
            auto value = TryStrToInt(text);
            if (!value)
                throw UsageError("option '" + key + "' takes an integer, not '" + text + "'");
            assignments.push_back({field, *value});
        }
    }

    LoadSettings(ini);
    for (const Assignment& a : assignments) {
        if (a.field->IsBoolean())
            Settings.*std::get<0>(a.field->Member) = a.value != 0;
        else
            Settings.*std::get<1>(a.field->Member) = a.value;
    }
    SaveSettings();
    return 0;
}

} // namespace zavrio
