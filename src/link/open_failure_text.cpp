#include "link/open_failure_text.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace {

std::string PermissionText(const std::string& devicePath) {
    std::string text = "permission denied";
    const std::string group = QFileInfo(QString::fromStdString(devicePath)).group().toStdString();
    if (!group.empty())
        text += "; add your user to the group " + group + " (sudo usermod -aG " + group +
                " $USER) and log in again";
    return text;
}

}  // namespace

std::string OpenFailureText(int error, const std::string& devicePath) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "no such port";
        case EACCES:
        case EPERM:
            return PermissionText(devicePath);
        case EBUSY:
        case EWOULDBLOCK:
            return "port busy: another program has it open";
        default:
            return std::strerror(error);
    }
}
