#include "transmit/tx_line.h"

#include "common/text.h"
#include "transmit/line_fields.h"

std::optional<TxFrameFields> ParseTxLine(std::string_view line) {
    const std::string_view text = SkipLeadingSpace(line.substr(0, kTxLineReadLimit));
    if (text.empty() || text.front() == ';') return std::nullopt;

    TxFrameFields frame;
    LineFields fields(text);
    if (const auto id = fields.Next(",")) frame.id = ParseHex(*id);
    if (const auto extended = fields.Next(",")) frame.extended = extended->front() == '1';
    if (const auto response = fields.Next(",")) frame.response = response->front() == '1';
    if (const auto dlc = fields.Next(",")) frame.dlc = static_cast<uint8_t>(ReadDlcField(*dlc));
    for (int i = 0; i < frame.dlc; ++i) {
        const auto byte = fields.Next(",;");
        if (!byte) break;
        frame.data[i] = static_cast<uint8_t>(ParseHex(*byte));
    }
    return frame;
}
