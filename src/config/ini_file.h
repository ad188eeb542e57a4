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
// touch (other sections, other keys, comments, blank lines) is written back byte for byte as it
// was read, except that every line ends in CR LF. Reads and writes work on the copy in memory;
// Save() replaces the file in one step.
//
// Memory stays a small multiple of the file's size: lines the program never writes are not
// copied but kept as spans of the text read, and a run of such lines is one span however long.
class IniFile {
  public:
    // The largest file that is read; a settings file holding 10,000 transmit lines is far below.
    static constexpr int64_t kMaxReadBytes = 16 * 1024 * 1024;

    // Whether the keys start as the file holds them or as none, for a file to be written anew.
    enum class Start { kFromFile, kEmpty };

    // Reads the file (path in UTF-8) when there is one. Only a regular file (or a link to one)
    // of at most kMaxReadBytes is read, so that a device, a pipe or a runaway file never
    // blocks or fills memory; such a file, and one that cannot be read, reads as empty and
    // ReadFailure() says why. A missing file reads as empty and is no failure.
    explicit IniFile(std::string path, Start start = Start::kFromFile);

    // Why the existing file could not be read ("Permission denied"); empty when it was read
    // or is missing.
    const std::string& ReadFailure() const { return readFailure_; }

    // The value of a key, or nothing when the section or the key is missing.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // The value as a decimal integer with an optional sign, read up to the first other
    // character and wrapping in 32 bits; `fallback` when it is missing or starts with no digit.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    // How many different keys the section holds (0 when it is missing).
    size_t KeyCount(std::string_view section) const;

    // Sets a key, in place when it exists, else after the last entry of its section, else in a
    // new section at the end. Line breaks in the value become blanks, so a value stays one line.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // Writes the whole file through a temporary file that replaces the old one; a symbolic
    // link to a regular file is followed and stays a link. Nothing is written into anything
    // but a regular file. False when the file was not written, with the system's reason in
    // `failure` when given; the old file is then left as it was.
    bool Save(std::string* failure = nullptr) const;

  private:
    // A stretch of the file: a section header, one key line, or a run of lines that are all
    // blank or all neither blank nor a key. Its text is a span of contents_ until the program
    // writes the line, which then owns its text.
    struct Piece {
        enum class Kind : uint8_t { kHeader, kKey, kBlank, kOther };
        Kind kind;
        size_t begin = 0;  // the span of contents_; a run includes its line ends
        size_t size = 0;
        std::optional<std::string> written;  // one line without its line end
    };
    struct Section {
        std::vector<Piece> pieces;                     // the header first, when there is one
        std::unordered_map<std::string, size_t> keys;  // lower-case name -> first piece with it
    };

    void ReadContents();
    void Parse();
    void AddLine(size_t begin, size_t size, size_t next);
    Section& AddSection(Piece header, std::string_view name);
    std::string_view Text(const Piece& piece) const;
    std::string_view Value(const Piece& piece) const;
    void AppendLines(const Piece& piece, std::string& out) const;

    std::string path_;
    std::string contents_;  // the file as read
    std::string readFailure_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_;  // lower-case name -> first section
};
