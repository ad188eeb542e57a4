#pragma once

#include <string>

struct ConfigRecord;
struct ConfigControls;
class IniFile;

// The line LoadConfig adds to the frame log when Dynamic Display is off.
inline constexpr char kDynamicDisplayHint[] = "Turn on Dynamic Display to see received packets!";

// Replaces every byte of the record from the file (keys B0 ... B451 of "Global", 0 for each
// one missing), cuts values the controls cannot take, fills the controls and the transmit list
// (keys L0 ... of "Transmits"), applies the defaults when the record carries no signature and
// refreshes what depends on the values. A missing file gives the defaults and is no failure.
// False when the file exists but could not be read (see IniFile), with the reason in `failure`
// when given: the run then starts with the defaults.
bool LoadConfig(const std::string& path, ConfigRecord& record, const ConfigControls& controls,
                std::string* failure = nullptr);
// The same from a file already read.
bool LoadConfig(const IniFile& file, ConfigRecord& record, const ConfigControls& controls,
                std::string* failure = nullptr);

// Why `file` is not a whole configuration as SaveConfig writes it (unreadable, no settings,
// settings missing, a value that is no byte, a wrong signature), in words for the user; empty
// when it is one. Keys beyond the record's bytes are not looked at.
std::string ConfigFileProblem(const IniFile& file);

// Gives the record and the controls their first-start values, unless the record already
// carries the signature.
void ApplyDefaults(ConfigRecord& record, const ConfigControls& controls);

// Copies the controls' values into the record and writes the record and the transmit list,
// keeping whatever else the file holds. False when the file could not be written, with the
// system's reason in `failure` when given; it is then left as it was.
bool SaveConfig(const std::string& path, ConfigRecord& record, const ConfigControls& controls,
                std::string* failure = nullptr);

// The same into a file that holds the configuration and nothing else: whatever the file held
// before is replaced as a whole, or left as it was when it could not be written.
bool SaveConfigAs(const std::string& path, ConfigRecord& record, const ConfigControls& controls,
                  std::string* failure = nullptr);
