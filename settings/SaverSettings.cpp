#include "SaverSettings.h"

#include "platform/PathFunctions.h"

#include <stdexcept>

namespace zavrio {

TSaverSettings Settings;
std::unique_ptr<TMemIniFile> SettingsFile;

namespace {
const char* const kSection = "set";
const char* const kFeeds = "feeds";
} // namespace

std::string DefaultSettingsPath() {
    return ProgramDirectory() + "zavriofeeds.ini";
}

void LoadSettings() {
    LoadSettings(DefaultSettingsPath());
}

void LoadSettings(const std::string& path) {
    // The generator is seeded nowhere: nothing in this program draws random numbers
    // from a process-wide generator.
    SettingsFile = std::make_unique<TMemIniFile>(path);
    const TMemIniFile& f = *SettingsFile;
    Settings.Loop = f.ReadBool(kSection, "Loop", false);
    Settings.AutoNext = f.ReadBool(kSection, "AutoNext", false);
    Settings.HD = f.ReadBool(kSection, "HD", true);
    Settings.StayOnTop = f.ReadBool(kSection, "StayOnTop", true);
    Settings.Channel = f.ReadInteger(kSection, "Channel", 0);
    Settings.VideoSize = f.ReadInteger(kSection, "VideoSize", 2);
    Settings.Mute = f.ReadBool(kSection, "Mute", false);
    Settings.Skin = f.ReadInteger(kSection, "Skin", 0);
    Settings.MouseMoveExit = f.ReadBool(kSection, "MouseMoveExit", false);
    Settings.MousePressExit = f.ReadBool(kSection, "MousePressExit", true);
    Settings.KeyboardPressExit = f.ReadBool(kSection, "KeyboardPressExit", true);
    Settings.ShowCursor = f.ReadBool(kSection, "ShowCursor", false);
    Settings.OnlyEscKeyExit = f.ReadBool(kSection, "OnlyEscKeyExit", false);
}

void SaveSettings() {
    if (!SettingsFile)
        throw std::logic_error("SaveSettings: the settings file has not been loaded");
    TMemIniFile& f = *SettingsFile;
    f.WriteBool(kSection, "Loop", Settings.Loop);
    f.WriteBool(kSection, "AutoNext", Settings.AutoNext);
    f.WriteBool(kSection, "HD", Settings.HD);
    f.WriteBool(kSection, "StayOnTop", Settings.StayOnTop);
    f.WriteInteger(kSection, "Channel", Settings.Channel);
    f.WriteInteger(kSection, "VideoSize", Settings.VideoSize);
    f.WriteBool(kSection, "Mute", Settings.Mute);
    f.WriteInteger(kSection, "Skin", Settings.Skin);
    f.WriteBool(kSection, "MouseMoveExit", Settings.MouseMoveExit);
    f.WriteBool(kSection, "MousePressExit", Settings.MousePressExit);
    f.WriteBool(kSection, "KeyboardPressExit", Settings.KeyboardPressExit);
    f.WriteBool(kSection, "ShowCursor", Settings.ShowCursor);
    f.WriteBool(kSection, "OnlyEscKeyExit", Settings.OnlyEscKeyExit);
    f.UpdateFile();
}

bool NoExitConditionSelected() {
    return !Settings.MouseMoveExit && !Settings.MousePressExit && !Settings.KeyboardPressExit &&
           !Settings.OnlyEscKeyExit;
}

std::vector<std::string> FeedNames() {
    std::vector<std::string> names;
    if (SettingsFile)
        SettingsFile->ReadSection(kFeeds, names);
    return names;
}

std::string FeedAddress(const std::string& name) {
    return SettingsFile ? SettingsFile->ReadString(kFeeds, name, "") : std::string();
}

} // namespace zavrio
