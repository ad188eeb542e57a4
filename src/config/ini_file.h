#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// An INI file read and written key by key, as the Windows profile functions do it: section and
// key names match without regard to letter case; a value is the text after the first "=" with
// the white space around it removed and otherwise verbatim. Everything the program does not
// touch (other sections, other keys, comments, blank lines) is written back as it was read.
// Reads and writes work on the copy in memory; Save() replaces the file in one step.
class IniFile {
  public:
    // Reads the file (path in UTF-8) when there is one; a missing or unreadable file reads as
    // empty.
    explicit IniFile(std::string path);

    // The value of a key, or nothing when the section or the key is missing.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // The value as a decimal integer with an optional sign, read up to the first other
    // character and wrapping in 32 bits; `fallback` when it is missing or starts with no digit.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;

    // Sets a key, in place when it exists, else after the last entry of its section, else in a
    // new section at the end. Line breaks in the value become blanks, so a value stays one line.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // Writes the whole file through a temporary file that replaces the old one. False when that
    // failed; the old file is then left as it was.
    bool Save() const;

  private:
    struct Line {
        std::string text;   // the whole line, without its line end
        std::string value;  // for a key line, its value
    };
    struct Section {
        std::optional<std::string> header;  // none for lines before the first section
        std::vector<Line> lines;
        std::unordered_map<std::string, size_t> keys;  // lower-case name -> first line with it
    };

    void Parse(std::string_view contents);
    Section& AddSection(std::optional<std::string> header, std::string_view name);
    static void AddLine(Section& section, std::string text);

    std::string path_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;  // lower-case name -> first section
};
