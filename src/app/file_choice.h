#pragma once

#include <string>
#include <vector>

class UserMessages;

// What the main window's file commands share around the file dialogs.

// How long the status bar tells where a file was saved.
constexpr int kSavedMessageMs = 5000;

// The dialog's file types from one text of types separated by ";;".
std::vector<std::string> NameFilters(const char* filters);

// The file name of `path` without its folder.
std::string FileName(const std::string& path);

// True when `target` may be written: the save dialog asked about replacing the name typed, so
// a file of the name with the extension added is asked about here.
bool MayReplaceAddedName(UserMessages& messages, const std::string& typed,
                         const std::string& target);
