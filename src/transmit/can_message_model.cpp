#include "transmit/can_message_model.h"

#include <cctype>
#include <cstdint>

#include "common/text.h"
#include "transmit/line_fields.h"

namespace {

// The list holds one frame per line, so a line break typed into the note becomes a blank.
std::string NoteOnOneLine(std::string_view note) {
    std::string line;
    for (size_t i = 0; i < note.size(); ++i) {
        if (note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n') continue;
        line += (note[i] == '\r' || note[i] == '\n') ? ' ' : note[i];
    }
    return line;
}

}  // namespace

std::string NormaliseHexText(std::string_view text, size_t maxLength) {
    std::string result(text.substr(0, maxLength));
    for (char& c : result) {
        const auto u = static_cast<unsigned char>(c);
        c = std::isxdigit(u) ? static_cast<char>(std::toupper(u)) : '0';
    }
    return result;
}

void CanMessageModel::Load(std::optional<std::string_view> line) {
    LineFields fields(line.value_or(kDefaultLine).substr(0, kTxLineReadLimit));
    SetId(fields.Next(",").value_or("00000000"));
    const auto extendedField = fields.Next(",");
    extended = !extendedField || extendedField->front() != '0';
    const auto rtrField = fields.Next(",");
    rtr = rtrField && rtrField->front() == '1';
    const auto dlcField = fields.Next(",");
    dlc = dlcField ? ReadDlcField(*dlcField) : kMaxBytes;
    for (int i = 0; i < dlc; ++i) data[i] = fields.Next(",;").value_or("00");
    SetNote(SkipLeadingSpace(fields.Next(";").value_or("")));
    CheckDataBytes();
}

std::string CanMessageModel::FormLine() const {
    std::string line = id;
    line += extended ? ",1" : ",0";
    line += rtr ? ",1" : ",0";
    line += "," + std::to_string(dlc);
    for (int i = 0; i < dlc; ++i) line += "," + data[i];
    if (noteTouched) line += "; " + NoteOnOneLine(note);
    return line;
}

void CanMessageModel::SetId(std::string_view typed) {
    id = NormaliseHexText(typed, kIdLength);
}

void CanMessageModel::SetNote(std::string_view text) {
    if (text == note) return;
    note = text;
    noteTouched = true;
}

void CanMessageModel::SetByte(int index, std::string_view text) {
    data[index] = text;
    CheckDataBytes();
}

void CanMessageModel::SetDlc(int newDlc) {
    dlc = newDlc;
    CheckDataBytes();
}

void CanMessageModel::SetBigData(std::string_view text) {
    bigData = text;
    BigDataToBytes();
}

void CanMessageModel::CheckDataBytes() {
    bigData.clear();
    for (int i = 0; i < dlc; ++i) {
        data[i] = NormaliseHexText(data[i], kByteLength);
        bigData += std::string(kByteLength - data[i].size(), '0') + data[i];
    }
}

void CanMessageModel::BigDataToBytes() {
    // The value of the last sixteen digits, right-aligned over the shown byte boxes.
    const std::string digits = NormaliseHexText(bigData, std::string::npos);
    uint64_t value;
    if (digits.size() <= 8) {
        value = ParseHex(digits);
    } else {
        const size_t split = digits.size() - 8;
        value = (static_cast<uint64_t>(ParseHex(digits.substr(0, split))) << 32) |
                ParseHex(digits.substr(split));
    }
    for (int j = 0; j < dlc; ++j)
        data[j] = HexByte(static_cast<uint8_t>(value >> (8 * (dlc - 1 - j))));
}
