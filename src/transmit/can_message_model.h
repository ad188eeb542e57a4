#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Hexadecimal box text as the CAN Message dialog keeps it: at most `maxLength` characters,
// "a"-"f" upper case, every other character that is not a hex digit turned into "0".
std::string NormaliseHexText(std::string_view text, size_t maxLength);

// What the CAN Message dialog's controls hold, and the rules that keep them in step. The
// dialog is created once and reused, so this content lives as long as the dialog: byte boxes
// beyond a loaded line's DLC keep what an earlier use left in them.
struct CanMessageModel {
    static constexpr int kMaxBytes = 8;
    static constexpr size_t kIdLength = 8;
    static constexpr size_t kByteLength = 2;
    // The line Add starts from.
    static constexpr std::string_view kDefaultLine = "0,1,0,8,0,0,0,0,0,0,0,0";

    std::string id = "00000000";
    bool extended = false;
    bool rtr = false;
    int dlc = 8;
    std::array<std::string, kMaxBytes> data{"00", "00", "00", "00", "00", "00", "00", "00"};
    std::string bigData = "00000000";
    std::string note = "Note on function of this message";
    // Set by the first change of the note and never cleared: from then on every formed line
    // carries "; " and the note, even an empty one.
    bool noteTouched = false;

    // Loads a line (Add passes none and gets the default line). Missing fields give the ID
    // "00000000", Extended ID on, RTR off, DLC 8, bytes "00" and an empty note.
    void Load(std::optional<std::string_view> line);
    // The line the dialog's OK forms: the boxes' texts as they are, the note only once touched.
    std::string FormLine() const;

    // The identifier rule of eIDChange: the typed text normalised to at most eight digits.
    void SetId(std::string_view typed);
    void SetNote(std::string_view text);
    // A byte box or the DLC changed: the shown boxes are normalised and eBigData rebuilt.
    void SetByte(int index, std::string_view text);
    void SetDlc(int newDlc);
    // eBigData was typed in: the shown byte boxes take its value, the text stays as typed.
    void SetBigData(std::string_view text);

    bool ByteShown(int index) const { return index < dlc; }
    // Both "Data : 0x" labels and eBigData.
    bool DataRowShown() const { return dlc != 0; }

  private:
    void CheckDataBytes();
    void BigDataToBytes();
};
