#pragma once
// The screensaver's options and its feed catalogue, as process-wide values.
//
// Settings holds the thirteen options of section "set"; SettingsFile is the
// in-memory settings file that also carries the catalogue (section "feeds").
// SettingsFile stays null until the first LoadSettings, and the windows test
// it to tell whether the settings are loaded. Only the configuration window
// saves; the playback window reads Settings directly.

#include "settings/MemIniFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace zavrio {

struct TSaverSettings {
    bool Loop = false;
    bool AutoNext = false;
    bool HD = false;
    bool StayOnTop = false;
    std::int32_t Channel = 0;
    std::int32_t VideoSize = 0; // 0 = 640 x 385, 1 = 1280 x 770, 2 = whole window
    bool Mute = false;
    std::int32_t Skin = 0;
    bool MouseMoveExit = false;
    bool MousePressExit = false;
    bool KeyboardPressExit = false;
    bool ShowCursor = false;
    bool OnlyEscKeyExit = false;
};

// One option of section "set": its key (the field's name), where it lives in
// TSaverSettings, and its default. SettingsFields() lists the thirteen in the
// order they are read and written.
struct SettingsField {
    const char* Name;
    std::variant<bool TSaverSettings::*, std::int32_t TSaverSettings::*> Member;
    std::int32_t Default;

    bool IsBoolean() const { return Member.index() == 0; }
};
const std::vector<SettingsField>& SettingsFields();

// All false / 0 until the first load (not the defaults of the file).
extern TSaverSettings Settings;
extern std::unique_ptr<TMemIniFile> SettingsFile;

// "zavriofeeds.ini" beside the running program, or the user's own copy when
// the program's folder is read-only (see SettingsLocation.h).
std::string DefaultSettingsPath();

// Opens the file into SettingsFile (replacing any earlier one) and reads the
// thirteen options with their defaults. A missing file is not an error;
// an unreadable one throws FileOpenError.
void LoadSettings();
void LoadSettings(const std::string& path);

// Writes the options into section "set", then the whole file back.
// Throws FileCreateError; memory keeps the new values either way.
// Requires a loaded SettingsFile (throws std::logic_error otherwise).
void SaveSettings();

// True when none of MouseMoveExit, MousePressExit, KeyboardPressExit and
// OnlyEscKeyExit is set; ShowCursor plays no part.
bool NoExitConditionSelected();
bool NoExitConditionSelected(const TSaverSettings& options);

// The catalogue: feed names of section "feeds" in file order, and the address
// of one name ("" when missing). Both give nothing while nothing is loaded.
std::vector<std::string> FeedNames();
std::string FeedAddress(const std::string& name);
// Every catalogue entry, name and address, in file order: FeedNames with the
// FeedAddress of each, in time linear in the catalogue's size.
std::vector<std::pair<std::string, std::string>> FeedCatalogue();

// What a show adds on request, beyond the thirteen options of section "set":
// each key in a section of its own, read from and written to SettingsFile
// directly, all off by default.
struct ShowExtras {
    std::int32_t Fade = 0; // [player] Fade: ms of fading through black at a change of clip
    bool Title = false;    // [overlay] Title: the entry's title over the start of its clip
    bool Clock = false;    // [overlay] Clock: the local time, hours and minutes
    bool operator==(const ShowExtras&) const = default;
};
// From SettingsFile; the defaults while nothing is loaded. A negative Fade
// counts as none (0).
ShowExtras ReadShowExtras();
// Into SettingsFile, written to disk by the next SaveSettings. Requires a
// loaded SettingsFile (throws std::logic_error otherwise).
void WriteShowExtras(const ShowExtras& extras);

} // namespace zavrio
