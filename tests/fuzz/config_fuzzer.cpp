// Any configuration file content, loaded into the record and the main window's controls, then
// saved over itself and loaded again: the values land in the controls' ranges, and what was
// loaded survives the save.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_file.h"
#include "config/config_record.h"
#include "config/fake_config_controls.h"
#include "fuzz_check.h"

namespace {

// A folder of this process for the file under test, removed when the run ends.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "config_fuzzer.XXXXXX");
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const char* name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// A file line may hold a lone CR inside a value; the file keeps every value on one line, so a
// save writes it as a blank.
std::string AsSaved(std::string value) {
    std::replace(value.begin(), value.end(), '\r', ' ');
    return value;
}

void CheckRanges(const ConfigRecord& record, const FakeConfigControls& controls) {
    FUZZ_CHECK(record.signature == ConfigRecord::kSignature);
    FUZZ_CHECK(record.savedPort[sizeof record.savedPort - 1] == '\0');
    FUZZ_CHECK(record.filterCount >= 0 && record.filterCount <= ConfigRecord::kMaxFilters);
    FUZZ_CHECK(record.txLineCount >= 0);
    FUZZ_CHECK(record.txDlcIndex <= 8);
    FUZZ_CHECK(record.gapIndex >= -1 && record.gapIndex <= 11);
    // The loaded lines, and the default line when the file carried no signature.
    FUZZ_CHECK(controls.txLines.size() >= static_cast<size_t>(record.txLineCount) &&
               controls.txLines.size() <= static_cast<size_t>(record.txLineCount) + 1);
    // The port's full name, when the file keeps it, begins with the record's 7 characters.
    FUZZ_CHECK(std::string_view(controls.portName).starts_with(record.savedPort));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ScratchFolder folder;
    const std::string path = folder.File("BRANNOX.INI");
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    ConfigRecord record;
    FakeConfigControls controls;
    LoadConfig(path, record, controls);
    CheckRanges(record, controls);

    // Everything comes back as it was saved, every transmit line included.
    FUZZ_CHECK(SaveConfig(path, record, controls));
    ConfigRecord reloaded;
    FakeConfigControls reloadedControls;
    LoadConfig(path, reloaded, reloadedControls);
    CheckRanges(reloaded, reloadedControls);
    FUZZ_CHECK(std::memcmp(&reloaded, &record, sizeof record) == 0);
    std::vector<std::string> savedLines = controls.txLines;
    for (std::string& line : savedLines) line = AsSaved(line);
    FUZZ_CHECK(reloadedControls.txLines == savedLines);
    if (controls.portName.find('\r') == std::string::npos)
        FUZZ_CHECK(reloadedControls.portName == controls.portName);
    return 0;
}
