#include "config/config_file.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <optional>
#include <type_traits>

#include "common/can_limits.h"
#include "common/text.h"
#include "config/config_controls.h"
#include "config/config_record.h"
#include "config/ini_file.h"

namespace {

static_assert(std::is_trivially_copyable_v<ConfigRecord>);
using RecordBytes = std::array<uint8_t, sizeof(ConfigRecord)>;

constexpr char kGlobal[] = "Global";
constexpr char kTransmits[] = "Transmits";
// The whole port name; the record has room for 7 characters only.
constexpr char kPortKey[] = "Port";

// Values the controls cannot take are cut on load.
constexpr uint8_t kMaxDlcIndex = 8;
constexpr int kMaxGapIndex = 11;

constexpr int kDefaultDlcIndex = 8;
constexpr char kDefaultTxId[] = "01234567";
constexpr int kDefaultGapIndex = 6;  // the item "1000"
constexpr char kDefaultTxLine[] =
    "18EF20A3,1,0,8,FD,A0,0F,FF,FF,FF,FF,FF; Turn on, Default Direction, 2000RPM";
constexpr uint32_t kDefaultFilterId = 0x01234567;
constexpr uint32_t kDefaultFilterMask = 0x0FFFFFF0;

std::string ByteKey(size_t offset) {
    return "B" + std::to_string(offset);
}
std::string LineKey(int index) {
    return "L" + std::to_string(index);
}

void CutToControlRanges(ConfigRecord& record) {
    record.savedPort[sizeof record.savedPort - 1] = '\0';
    record.filterCount = std::clamp(record.filterCount, 0, ConfigRecord::kMaxFilters);
    record.txLineCount = std::max(record.txLineCount, 0);
    record.txDlcIndex = std::min(record.txDlcIndex, kMaxDlcIndex);
    if (record.gapIndex < -1 || record.gapIndex > kMaxGapIndex) record.gapIndex = -1;
}

// The full name under "Port" wins while it agrees with the record's 7 characters; when it does
// not, the record was written by a program that does not know the key, and the record wins.
void LoadPortName(const IniFile& file, const ConfigRecord& record, const ConfigControls& controls) {
    const std::string saved = record.savedPort;
    if (saved.empty()) return;
    const std::string full = file.Read(kGlobal, kPortKey).value_or("");
    const bool fullAgrees = full.compare(0, sizeof record.savedPort - 1, saved) == 0;
    controls.window.SetPortName(fullAgrees ? full : saved);
}

void CopyControlsIntoRecord(const ConfigControls& controls, const std::string& port,
                            ConfigRecord& record) {
    std::memset(record.savedPort, 0, sizeof record.savedPort);
    port.copy(record.savedPort, sizeof record.savedPort - 1);
    record.windowHeight = controls.window.WindowHeight();
    record.windowWidth = controls.window.WindowWidth();
    record.txDlcIndex =
        static_cast<uint8_t>(controls.transmitData.TxDlcIndex());  // none is stored as 255
    record.txExtended = controls.transmitData.TxExtended() ? 1 : 0;
    record.txResponse = controls.transmitData.TxResponse() ? 1 : 0;
    record.txId = ParseHex(controls.transmitData.TxIdText());
    record.gapIndex = controls.transmitList.SelectedGap();
    for (int i = 0; i < 8; ++i)
        record.txData[i] = static_cast<uint8_t>(ParseHex(controls.transmitData.TxDataText(i)));
}

bool WriteConfig(IniFile& file, ConfigRecord& record, const ConfigControls& controls,
                 std::string* failure) {
    const std::string port = controls.window.PortName();
    CopyControlsIntoRecord(controls, port, record);
    const std::vector<std::string> lines = controls.transmitList.TxLines();
    record.txLineCount = static_cast<int32_t>(lines.size());

    RecordBytes bytes;
    std::memcpy(bytes.data(), &record, bytes.size());
    for (size_t offset = 0; offset < bytes.size(); ++offset)
        file.Write(kGlobal, ByteKey(offset), std::to_string(bytes[offset]));
    file.Write(kGlobal, kPortKey, port);
    for (size_t j = 0; j < lines.size(); ++j)
        file.Write(kTransmits, LineKey(static_cast<int>(j)), lines[j]);
    return file.Save(failure);
}

}  // namespace

bool LoadConfig(const std::string& path, ConfigRecord& record, const ConfigControls& controls,
                std::string* failure) {
    return LoadConfig(IniFile(path), record, controls, failure);
}

bool LoadConfig(const IniFile& file, ConfigRecord& record, const ConfigControls& controls,
                std::string* failure) {
    RecordBytes bytes;
    for (size_t offset = 0; offset < bytes.size(); ++offset)
        bytes[offset] = static_cast<uint8_t>(file.ReadInteger(kGlobal, ByteKey(offset), 0));
    std::memcpy(&record, bytes.data(), bytes.size());
    CutToControlRanges(record);

    if (record.windowHeight != 0) controls.window.SetWindowHeight(record.windowHeight);
    if (record.windowWidth != 0) controls.window.SetWindowWidth(record.windowWidth);
    LoadPortName(file, record, controls);

    controls.transmitData.SelectTxDlc(record.txDlcIndex);
    controls.transmitData.SetTxExtended(record.txExtended != 0);
    controls.transmitData.SetTxResponse(record.txResponse != 0);
    controls.transmitData.SetTxIdText(FormatIdText(record.txId, true));
    for (int i = 0; i < 8; ++i) controls.transmitData.SetTxDataText(i, HexByte(record.txData[i]));

    controls.busParameters.SetUseFilters(record.useFilters != 0);
    controls.busParameters.SetListenOnly(record.listenOnly != 0);
    controls.busParameters.SetLoopback(record.loopback != 0);
    controls.busParameters.SetBusRateText(std::to_string(record.busRate));
    controls.transmitList.SelectGap(record.gapIndex);

    // Every line the file holds comes back, however many; a count larger than the keys of
    // the section is cut to them, so a damaged count costs no more than the file itself.
    record.txLineCount = static_cast<int32_t>(
        std::min<size_t>(static_cast<size_t>(record.txLineCount), file.KeyCount(kTransmits)));
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(record.txLineCount));
    for (int j = 0; j < record.txLineCount; ++j)
        lines.push_back(file.Read(kTransmits, LineKey(j)).value_or(""));
    controls.transmitList.SetTxLines(lines);

    ApplyDefaults(record, controls);

    controls.transmitData.DlcChanged();
    controls.filterList.RedrawFilterList();
    controls.window.UpdateControls();
    if (record.dynamicDisplay == 0) controls.window.AppendLogLine(kDynamicDisplayHint);
    if (failure != nullptr) *failure = file.ReadFailure();
    return file.ReadFailure().empty();
}

void ApplyDefaults(ConfigRecord& record, const ConfigControls& controls) {
    if (record.signature == ConfigRecord::kSignature) return;

    record.baudRate = kDefaultSerialRate;
    record.dynamicDisplay = 1;
    record.busRate = kDefaultBusRate;
    controls.busParameters.SetBusRateText(std::to_string(kDefaultBusRate));
    record.signature = ConfigRecord::kSignature;

    controls.transmitData.SelectTxDlc(kDefaultDlcIndex);
    controls.transmitData.SetTxExtended(true);
    controls.transmitData.SetTxIdText(kDefaultTxId);
    for (int i = 0; i < 8; ++i) controls.transmitData.SetTxDataText(i, std::to_string(i));

    record.loopback = 1;  // the box's click handler sets it too; the record must not rely on it
    controls.busParameters.SetLoopback(true);
    controls.transmitList.SelectGap(kDefaultGapIndex);
    controls.transmitList.AppendTxLine(kDefaultTxLine);

    if (record.filterCount < ConfigRecord::kMaxFilters) {
        FilterEntry& entry = record.filters[record.filterCount++];
        entry.id = kDefaultFilterId;
        entry.mask = kDefaultFilterMask;
        entry.extended = 1;
    }
}

std::string ConfigFileProblem(const IniFile& file) {
    if (!file.ReadFailure().empty()) return file.ReadFailure();
    RecordBytes bytes;
    size_t present = 0;
    std::string notByte;
    for (size_t offset = 0; offset < bytes.size(); ++offset) {
        const std::optional<std::string> value = file.Read(kGlobal, ByteKey(offset));
        if (!value) continue;
        ++present;
        const bool digits = !value->empty() && value->size() <= 3 &&
                            value->find_first_not_of("0123456789") == std::string::npos;
        const int number = digits ? std::stoi(*value) : -1;
        if ((number < 0 || number > UINT8_MAX) && notByte.empty()) notByte = ByteKey(offset);
        bytes[offset] = static_cast<uint8_t>(number);
    }
    if (present == 0) return "It is not a configuration file: it holds none of the settings.";
    if (present < bytes.size())
        return "It is too short: only " + std::to_string(present) + " of the " +
               std::to_string(bytes.size()) + " settings are there.";
    if (!notByte.empty()) return "It is damaged: the value of " + notByte + " is not a byte.";
    uint32_t signature;
    std::memcpy(&signature, bytes.data() + offsetof(ConfigRecord, signature), sizeof signature);
    if (signature != ConfigRecord::kSignature)
        return "It is not a configuration of this program: its signature is wrong.";
    return {};
}

bool SaveConfig(const std::string& path, ConfigRecord& record, const ConfigControls& controls,
                std::string* failure) {
    IniFile file(path);
    return WriteConfig(file, record, controls, failure);
}

bool SaveConfigAs(const std::string& path, ConfigRecord& record, const ConfigControls& controls,
                  std::string* failure) {
    IniFile file(path, IniFile::Start::kEmpty);
    return WriteConfig(file, record, controls, failure);
}
