// Any transmit line, read for sending and loaded into the CAN Message dialog, followed by
// anything typed into the dialog's boxes; the line the dialog forms must send the frame the
// dialog shows.
//
// Input: the line up to the first line break, then one edit per line: its first character
// picks the box ('0'-'7' a byte, 'd' the DLC, 'b' the data row, 'i' the identifier, 'n' the
// note, which takes the rest of the input, line breaks included), the rest is the text.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "fuzz_check.h"
#include "transmit/can_message_model.h"
#include "transmit/tx_line.h"

namespace {

bool IsBoxHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F');
    });
}

void CheckParsedLine(std::string_view line) {
    const auto frame = ParseTxLine(line);
    if (!frame) return;
    FUZZ_CHECK(frame->dlc <= 8);
    for (size_t i = frame->dlc; i < frame->data.size(); ++i) FUZZ_CHECK(frame->data[i] == 0);
}

void CheckBoxes(const CanMessageModel& model) {
    FUZZ_CHECK(model.dlc >= 0 && model.dlc <= CanMessageModel::kMaxBytes);
    FUZZ_CHECK(model.id.size() <= CanMessageModel::kIdLength && IsBoxHex(model.id));
    for (int i = 0; i < model.dlc; ++i)
        FUZZ_CHECK(model.data[i].size() <= CanMessageModel::kByteLength && IsBoxHex(model.data[i]));
}

// Applies the edits of the input after the line.
void TypeInto(CanMessageModel& model, std::string_view edits) {
    while (!edits.empty()) {
        const size_t end = edits.find('\n');
        const char box = edits.front();
        if (box == 'n') {
            model.SetNote(edits.substr(1));
            return;
        }
        const std::string_view text =
            edits.substr(1, end == std::string_view::npos ? end : end - 1);
        if (box >= '0' && box <= '7')
            model.SetByte(box - '0', text);
        else if (box == 'd')
            model.SetDlc(text.empty() ? 0 : static_cast<unsigned char>(text.front()) % 9);
        else if (box == 'b')
            model.SetBigData(text);
        else if (box == 'i')
            model.SetId(text);
        edits.remove_prefix(end == std::string_view::npos ? edits.size() : end + 1);
    }
}

// The formed line is one line and, sent or loaded again, is the frame the boxes show.
void CheckFormedLine(const CanMessageModel& model) {
    const std::string line = model.FormLine();
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);

    // An emptied box leaves no field behind, so the fields after it move up.
    const bool everyFieldThere =
        !model.id.empty() && std::none_of(model.data.begin(), model.data.begin() + model.dlc,
                                          [](const std::string& b) { return b.empty(); });
    if (!everyFieldThere) return;
    const auto frame = ParseTxLine(line);
    FUZZ_CHECK(frame.has_value());
    FUZZ_CHECK(frame->id == ParseHex(model.id));
    FUZZ_CHECK(frame->extended == model.extended);
    FUZZ_CHECK(frame->response == model.rtr);
    FUZZ_CHECK(frame->dlc == model.dlc);
    for (int i = 0; i < model.dlc; ++i) FUZZ_CHECK(frame->data[i] == ParseHex(model.data[i]));

    CanMessageModel reloaded = model;
    reloaded.Load(line);
    FUZZ_CHECK(reloaded.id == model.id && reloaded.extended == model.extended &&
               reloaded.rtr == model.rtr && reloaded.dlc == model.dlc);
    FUZZ_CHECK(
        std::equal(reloaded.data.begin(), reloaded.data.begin() + model.dlc, model.data.begin()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = input.find('\n');
    const std::string_view line = input.substr(0, lineEnd);

    CheckParsedLine(line);
    CanMessageModel model;
    model.Load(line);
    CheckBoxes(model);
    CheckFormedLine(model);

    if (lineEnd == std::string_view::npos) return 0;
    TypeInto(model, input.substr(lineEnd + 1));
    CheckBoxes(model);
    CheckFormedLine(model);
    return 0;
}
