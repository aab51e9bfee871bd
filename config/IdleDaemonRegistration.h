#pragma once
// Our entries in the configuration of the Wayland idle daemons, so that they
// start this program ("<program> /s") once the seat has been idle a while:
//
//   swayidle  $XDG_CONFIG_HOME/swayidle/config (~/.config/swayidle/config):
//             a line  timeout 600 '<program> /s'
//   hypridle  $XDG_CONFIG_HOME/hypr/hypridle.conf, only when that folder
//             exists (the user runs the Hyprland tools): a block
//               listener {
//                   timeout = 600
//                   on-timeout = <program> /s
//               }
//
// Both daemons run the command through the shell, so the program path is
// quoted for it. An entry of ours is one whose command runs a program of our
// file name, wherever it lies (an older installation's path counts): it is
// rewritten in place to run programPath, keeping its timeout and everything
// else on it. Without one, ours is added at the end. Every other byte of the
// file stays as it was, and the file is replaced atomically.

#include <optional>
#include <string>
#include <vector>

namespace zavrio {

inline constexpr int IdleTimeoutSeconds = 600;

// An entry of ours as found in a daemon's configuration.
struct IdleEntry {
    int Line = 0;     // the line (from 1) of its command
    std::string Text; // that line, without its line break
    int Timeout = -1; // seconds; -1 when missing or not a number

    bool operator==(const IdleEntry&) const = default;
};

// The configurations with our entry for programPath, from their current text
// (nullopt: no file yet).
std::string RegisterWithSwayidle(const std::optional<std::string>& current,
                                 const std::string& programPath);
std::string RegisterWithHypridle(const std::optional<std::string>& current,
                                 const std::string& programPath);

// Our entries in a configuration's text, in file order.
std::vector<IdleEntry> FindSwayidleEntries(const std::string& text, const std::string& programPath);
std::vector<IdleEntry> FindHypridleEntries(const std::string& text, const std::string& programPath);

// The files ($XDG_CONFIG_HOME, else ~/.config); throw when neither is set.
std::string SwayidleConfigPath();
std::string HypridleConfigFolder();
std::string HypridleConfigPath();

// Rewrites swayidle's configuration atomically, making its folder when
// missing; throws on failure.
void RegisterWithSwayidle(const std::string& programPath);
// The same for hypridle's, when its folder exists; false when it does not
// (nothing is written). Throws on failure.
bool RegisterWithHypridle(const std::string& programPath);

} // namespace zavrio
