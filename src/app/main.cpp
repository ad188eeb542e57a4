#include <QIcon>

#include "app/brannox_application.h"
#include "app/main_form.h"
#include "app/message_box_user_messages.h"
#include "app/platform_paths.h"
#include "config/config_record.h"
#include "link/port_names.h"
#include "link/qt_serial_port_device.h"

int main(int argc, char** argv) {
    BrannoxApplication app(argc, argv);
    // The icon the desktop entry names, once installed; no icon otherwise.
    app.setWindowIcon(QIcon::fromTheme("brannox"));
    try {
        ConfigRecord config;
        QtSerialPortDevice comPort;
        MessageBoxUserMessages messages;
        TMainForm mainForm({comPort, messages, config, EnumComPorts, ConfigFilePath()});
        messages.SetOwner(&mainForm);
        mainForm.FormCreate();
        mainForm.show();
        app.exec();
    } catch (...) {
        app.ShowCurrentException();
    }
    return 0;
}
