// File > Save Configuration and Load Configuration: the settings file's contents written to a
// file of the user's choice, and such a file made the current configuration at once.
#include <QFileInfo>
#include <QStatusBar>

#include "app/file_choice.h"
#include "app/main_form.h"
#include "common/user_messages.h"
#include "config/config_file.h"
#include "config/config_record.h"
#include "config/ini_file.h"
#include "session/handle_can.h"

namespace {

constexpr char kConfigurationFileTypes[] = "Configurations (*.ini *.INI);;All (*)";
constexpr char kDefaultSuffix[] = ".ini";
constexpr char kSuggestedName[] = "brannox.ini";

}  // namespace

void TMainForm::SaveConfiguration1Click() {
    const UserMessages::SaveFileChoice choice =
        messages_.AskSaveFileName("Save Configuration", NameFilters(kConfigurationFileTypes),
                                  LogFolder() + "/" + kSuggestedName);
    if (choice.path.empty()) return;
    std::string path = choice.path;
    if (QFileInfo(QString::fromStdString(path)).suffix().isEmpty()) path += kDefaultSuffix;
    if (!MayReplaceAddedName(messages_, choice.path, path)) return;
    std::string failure;
    if (!SaveConfigAs(path, config_, Controls(), &failure)) {
        messages_.ShowMessage("Cannot write file\n" + path + "\n" + failure, "Error");
        return;
    }
    statusBar()->showMessage(QString::fromStdString("Configuration saved to " + FileName(path)),
                             kSavedMessageMs);
}

void TMainForm::LoadConfiguration1Click() {
    const std::string path = messages_.AskOpenFileName(
        "Load Configuration", NameFilters(kConfigurationFileTypes), LogFolder());
    if (path.empty()) return;
    const IniFile file(path);
    if (const std::string problem = ConfigFileProblem(file); !problem.empty()) {
        messages_.ShowMessage("Cannot load configuration\n" + path + "\n" + problem, "Error");
        return;
    }
    // An open link keeps the port and the serial rate it was opened with; the file's take
    // effect when no link is open, as at start-up.
    const bool linkOpen = currentSerial_ != nullptr;
    const std::string port = portName_;
    const int32_t baudRate = config_.baudRate;
    const uint8_t lcdOn = config_.lcdOn;
    // Loading sets the Status page's boxes and redraws the filter list, which sends the setup
    // and the filters to a connected device as the user's change of them does.
    LoadConfig(file, config_, Controls());
    if (linkOpen) {
        portName_ = port;
        config_.baudRate = baudRate;
    }
    if (config_.lcdOn != lcdOn) session_->SendDisplayFlags();
    UpdateControls();
    statusBar()->showMessage(QString::fromStdString("Configuration " + FileName(path)),
                             kSavedMessageMs);
}
