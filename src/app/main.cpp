#include <QIcon>
#include <QSessionManager>

#include "app/brannox_application.h"
#include "app/main_form.h"
#include "app/message_box_user_messages.h"
#include "app/platform_paths.h"
#include "app/quit_signals.h"
#include "config/config_record.h"
#include "link/port_names.h"
#include "link/posix_serial_port_device.h"

int main(int argc, char** argv) {
    BrannoxApplication app(argc, argv);
    // The icon the desktop entry names, once installed; no icon otherwise.
    app.setWindowIcon(QIcon::fromTheme("brannox"));
    try {
        ConfigRecord config;
        PosixSerialPortDevice comPort;
        MessageBoxUserMessages messages;
        MainFormServices services{comPort, messages, config, EnumComPorts, ConfigFilePath()};
        services.makeProbePort = [] { return std::make_unique<PosixSerialPortDevice>(); };
        TMainForm mainForm(std::move(services));
        messages.SetOwner(&mainForm);
        // Ending by a signal or with the desktop session keeps the session's settings.
        QuitSignals quitSignals;
        QObject::connect(&quitSignals, &QuitSignals::received, &mainForm,
                         &TMainForm::CloseOnQuitRequest);
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                         [&mainForm](QSessionManager& manager) {
                             mainForm.SaveSettings(manager.allowsInteraction());
                             manager.release();
                         });
        // The settings are loaded before the window is shown; the device is looked for after.
        mainForm.FormCreate();
        if (mainForm.QuitRequested()) {
            mainForm.close();
            return 0;
        }
        mainForm.show();
        app.exec();
    } catch (...) {
        app.ShowCurrentException();
    }
    return 0;
}
