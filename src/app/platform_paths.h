#pragma once

#include <string>

// The configuration file BRANNOX.INI in the folder QNL of the user's local application-data
// folder (Linux: ~/.local/share, or $XDG_DATA_HOME); the folders are created when missing.
std::string ConfigFilePath();

// The folder of the program file, with a trailing separator.
std::string ProgramFolder();
