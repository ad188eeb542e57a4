#pragma once

#include <string>

struct ConfigRecord;
class ConfigControls;

// Replaces every byte of the record from the file (keys B0 ... B451 of "Global", 0 for each
// one missing), cuts values the controls cannot take, fills the controls and the transmit list
// (keys L0 ... of "Transmits"), applies the defaults when the record carries no signature and
// refreshes what depends on the values. A missing file gives the defaults and is no failure.
// False when the file exists but could not be read (see IniFile), with the reason in `failure`
// when given: the run then starts with the defaults.
bool LoadConfig(const std::string& path, ConfigRecord& record, ConfigControls& controls,
                std::string* failure = nullptr);

// Gives the record and the controls their first-start values, unless the record already
// carries the signature.
void ApplyDefaults(ConfigRecord& record, ConfigControls& controls);

// Copies the controls' values into the record and writes the record and the transmit list,
// keeping whatever else the file holds. False when the file could not be written, with the
// system's reason in `failure` when given; it is then left as it was.
bool SaveConfig(const std::string& path, ConfigRecord& record, const ConfigControls& controls,
                std::string* failure = nullptr);
