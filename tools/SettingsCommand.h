#pragma once
// zavrio-feeds settings [--ini PATH]: prints the settings file in use ("file"),
// the options and the catalogue as JSON.
// zavrio-feeds set KEY=VALUE... [--ini PATH]: changes options and saves the file.

#include <string>
#include <vector>

namespace zavrio {

int runSettingsCommand(const std::vector<std::string>& args);
int runSetCommand(const std::vector<std::string>& args);

} // namespace zavrio
