#include "link/open_failure_text.h"

#include <QFileInfo>
#include <QSerialPort>

namespace {

// The device file QSerialPort opened: a name without a folder lies in /dev.
QFileInfo DeviceFile(const QSerialPort& port) {
    const QString name = port.portName();
    return QFileInfo(name.startsWith('/') ? name : "/dev/" + name);
}

std::string PermissionText(const QFileInfo& device) {
    std::string text = "permission denied";
    const std::string group = device.group().toStdString();
    if (!group.empty())
        text += "; add your user to the group " + group + " (sudo usermod -aG " + group +
                " $USER) and log in again";
    return text;
}

}  // namespace

std::string OpenFailureText(const QSerialPort& port) {
    switch (port.error()) {
        case QSerialPort::DeviceNotFoundError:
            return "no such port";
        case QSerialPort::PermissionError: {
            // Qt gives this error both to a port the user may not open and to one that another
            // program holds; the device file's permissions tell them apart.
            const QFileInfo device = DeviceFile(port);
            if (!device.isReadable() || !device.isWritable()) return PermissionText(device);
            return "port busy: another program has it open";
        }
        default:
            return port.errorString().toStdString();
    }
}
