#include "SaverSettings.h"

#include "platform/AtomicWrite.h"
#include "settings/SettingsLocation.h"

#include <algorithm>
#include <stdexcept>

namespace zavrio {

TSaverSettings Settings;
std::unique_ptr<TMemIniFile> SettingsFile;

namespace {
const char* const kSection = "set";
const char* const kFeeds = "feeds";
} // namespace

std::string DefaultSettingsPath() {
    return ResolveSettingsPath(ThisProgramsSettingsPlaces());
}

void LoadSettings() {
    LoadSettings(DefaultSettingsPath());
}

const std::vector<SettingsField>& SettingsFields() {
    using S = TSaverSettings;
    static const std::vector<SettingsField> fields = {
        {"Loop", &S::Loop, 0},
        {"AutoNext", &S::AutoNext, 0},
        {"HD", &S::HD, 1},
        {"StayOnTop", &S::StayOnTop, 1},
        {"Channel", &S::Channel, 0},
        {"VideoSize", &S::VideoSize, 2},
        {"Mute", &S::Mute, 0},
        {"Skin", &S::Skin, 0},
        {"MouseMoveExit", &S::MouseMoveExit, 0},
        {"MousePressExit", &S::MousePressExit, 1},
        {"KeyboardPressExit", &S::KeyboardPressExit, 1},
        {"ShowCursor", &S::ShowCursor, 0},
        {"OnlyEscKeyExit", &S::OnlyEscKeyExit, 0},
    };
    return fields;
}

void LoadSettings(const std::string& path) {
    // No generator is seeded here: nothing in this program draws from a
    // process-wide pseudo-random generator.
    // A save killed half way (the daemon's SIGKILL) leaves its temporary file.
    SweepAbandonedWrites(path);
    SettingsFile = std::make_unique<TMemIniFile>(path);
    for (const SettingsField& field : SettingsFields()) {
        if (field.IsBoolean())
            Settings.*std::get<0>(field.Member) =
                SettingsFile->ReadBool(kSection, field.Name, field.Default != 0);
        else
            Settings.*std::get<1>(field.Member) =
                SettingsFile->ReadInteger(kSection, field.Name, field.Default);
    }
}

void SaveSettings() {
    if (!SettingsFile)
        throw std::logic_error("SaveSettings: the settings file has not been loaded");
    for (const SettingsField& field : SettingsFields()) {
        if (field.IsBoolean())
            SettingsFile->WriteBool(kSection, field.Name, Settings.*std::get<0>(field.Member));
        else
            SettingsFile->WriteInteger(kSection, field.Name, Settings.*std::get<1>(field.Member));
    }
    SettingsFile->UpdateFile();
}

bool NoExitConditionSelected() {
    return NoExitConditionSelected(Settings);
}

bool NoExitConditionSelected(const TSaverSettings& options) {
    return !options.MouseMoveExit && !options.MousePressExit && !options.KeyboardPressExit &&
           !options.OnlyEscKeyExit;
}

std::vector<std::string> FeedNames() {
    std::vector<std::string> names;
    if (SettingsFile)
        SettingsFile->ReadSection(kFeeds, names);
    return names;
}

std::vector<std::pair<std::string, std::string>> FeedCatalogue() {
    return SettingsFile ? SettingsFile->ReadSectionPairs(kFeeds)
                        : std::vector<std::pair<std::string, std::string>>();
}

std::string FeedAddress(const std::string& name) {
    return SettingsFile ? SettingsFile->ReadString(kFeeds, name, "") : std::string();
}

ShowExtras ReadShowExtras() {
    if (!SettingsFile)
        return {};
    ShowExtras extras;
    extras.Fade = std::max(0, SettingsFile->ReadInteger("player", "Fade", 0));
    extras.Title = SettingsFile->ReadBool("overlay", "Title", false);
    extras.Clock = SettingsFile->ReadBool("overlay", "Clock", false);
    return extras;
}

void WriteShowExtras(const ShowExtras& extras) {
    if (!SettingsFile)
        throw std::logic_error("WriteShowExtras: the settings file has not been loaded");
    SettingsFile->WriteInteger("player", "Fade", extras.Fade);
    SettingsFile->WriteBool("overlay", "Title", extras.Title);
    SettingsFile->WriteBool("overlay", "Clock", extras.Clock);
}

} // namespace zavrio
