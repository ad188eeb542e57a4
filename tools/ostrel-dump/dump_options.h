#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "config/config_record.h"

// What the command line of ostrel-dump sets.
struct DumpOptions {
    DeviceOptions device;
    bool listenOnly = false;
    bool brief = false;
    bool windowLines = false;  // -a: the window's log line instead of candump's
    std::string logFile;
    uint64_t count = 0;  // 0: no limit
    double seconds = 0;  // 0: no limit
    std::vector<FilterEntry> filters;
    bool help = false;
};

// Reads the arguments after the program name; on a bad one `error` says what is wrong in one
// line.
DumpOptions ParseDumpOptions(const std::vector<std::string>& args, std::string& error);

// "ID:MASK": the identifier in 3 hex digits (standard) or 8 (extended), as candump writes it,
// and a mask within the identifier's bits.
bool ParseFilterText(const std::string& text, FilterEntry& filter);

std::string DumpHelpText();
