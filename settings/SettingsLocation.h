#pragma once
// Where zavriofeeds.ini lives; the one place both programs ask.
//
// Beside the program whenever the program's folder is writable: a portable
// copy, the build folder and the tests keep their file there, as every
// version always did. An installed program's folder is not the user's to
// write, so there the file is <config home>/zavrio-screensaver/zavriofeeds.ini
// ($XDG_CONFIG_HOME, else ~/.config), read from and written to there.
//
// The first time that per-user file is chosen and does not exist, it is
// seeded with a copy of the read-only zavriofeeds.ini beside the program when
// there is one (a catalogue the administrator put there), else with a copy of
// the installed example. Seeding is best effort and never throws: when it
// fails the path is still the answer, loading gives the defaults, and the
// first save reports on that path why it cannot write.

#include <functional>
#include <string>

namespace zavrio {

struct SettingsPlaces {
    std::string ProgramDirectory; // with its trailing "/"
    std::string ConfigHome;       // the user's configuration folder, no trailing "/"
    std::string Example;          // the installed example file; it may be missing
    // Whether files may be created in a folder. Empty: access(2) with W_OK,
    // which says yes to root everywhere but on read-only file systems, so
    // tests that run as root give their own answer.
    std::function<bool(const std::string& folder)> FolderWritable;
};

// The places of the running program: its own folder, $XDG_CONFIG_HOME when
// it is an absolute path (else $HOME/.config, else the account's home from
// the password database), and the example installed in the data folder
// that belongs to the program's bin folder
// (../share/zavrio-screensaver/zavriofeeds.ini for the usual layout).
SettingsPlaces ThisProgramsSettingsPlaces();

// The path of zavriofeeds.ini by the rule above, seeding the per-user file
// when that is the one chosen and it does not exist yet.
std::string ResolveSettingsPath(const SettingsPlaces& places);

} // namespace zavrio
