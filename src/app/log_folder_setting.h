#pragma once

#include <string>

// The folder of the last saved log, kept in the configuration file (key "LastFolder" of the
// section "Logs"), so that the log dialogs start there the next time too.

// The remembered folder when it still exists, else the user's Documents folder.
std::string LastLogFolder(const std::string& configPath);

// Remembers the folder of `savedFile`; a configuration file that cannot be written is not
// reported (the save itself succeeded).
void RememberLogFolder(const std::string& configPath, const std::string& savedFile);
