#include "tools/FeedsCommand.h"

#include "platform/FileRead.h"
#include "platform/IntConvert.h"
#include "settings/CatalogueEditor.h"
#include "settings/SaverSettings.h"
#include "tools/Opml.h"
#include "tools/ToolOptions.h"

#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>

namespace zavrio {

namespace {

void printFeeds(const std::vector<FeedEntry>& feeds) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const FeedEntry& feed : feeds)
        out.push_back({{"name", feed.Name}, {"address", feed.Address}});
    // The file may hold any bytes; what is not UTF-8 shows as U+FFFD.
    std::cout << out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void expectArguments(const std::vector<std::string>& args, std::size_t count,
                     const std::string& form) {
    if (args.size() < count + 1)
        throw UsageError("feeds " + args[0] + " needs " + form);
    if (args.size() > count + 1)
        throw UsageError("unexpected argument '" + args[count + 1] + "'");
}

std::vector<FeedEntry> readOpmlFile(const std::string& path) {
    std::optional<std::string> bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileReadError& e) {
        throw std::runtime_error("cannot read \"" + path + "\": " + e.Reason());
    }
    if (!bytes)
        throw std::runtime_error("cannot read \"" + path + "\": No such file or directory");
    return ReadOpml(*bytes, path);
}

} // namespace

int runFeedsCommand(const std::vector<std::string>& argsIn) {
    std::vector<std::string> args = argsIn;
    const std::string ini = TakeIniOption(args);
    if (args.empty())
        args.push_back("list");
    const std::string& action = args[0];

    LoadSettings(ini);
    CatalogueEditor editor(*SettingsFile, Settings.Channel);
    if (action == "list") {
        expectArguments(args, 0, "nothing");
        printFeeds(editor.List());
    } else if (action == "add") {
        expectArguments(args, 2, "NAME ADDRESS");
        editor.Add(args[1], args[2]);
    } else if (action == "rename") {
        expectArguments(args, 2, "OLD NEW");
        editor.Rename(args[1], args[2]);
    } else if (action == "move") {
        expectArguments(args, 2, "NAME POSITION");
        const std::optional<std::int32_t> position = TryStrToInt(args[2]);
        if (!position)
            throw CatalogueError("position \"" + args[2] + "\" is not a number");
        editor.Move(args[1], *position);
    } else if (action == "remove") {
        expectArguments(args, 1, "NAME");
        editor.Remove(args[1]);
    } else if (action == "export") {
        expectArguments(args, 0, "nothing");
        std::cout << WriteOpml(editor.List());
    } else if (action == "import") {
        expectArguments(args, 1, "an OPML FILE");
        const ImportResult result = ImportFeeds(editor, readOpmlFile(args[1]));
        for (const auto& [outline, reason] : result.Skipped)
            std::cerr << "skipped \"" << outline.Name << "\" (" << outline.Address
                      << "): " << reason << '\n';
        printFeeds(result.Added);
    } else {
        throw UsageError("unknown action '" + action +
                         "'; use list, add, rename, move, remove, export or import");
    }
    return 0;
}

} // namespace zavrio
