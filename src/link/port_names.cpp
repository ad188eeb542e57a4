#include "link/port_names.h"

#include <QSerialPortInfo>

#include "common/text.h"
#include "sim_ports/simulated_port_registry.h"

std::string PlatformPortName(const std::string& name) {
#ifdef Q_OS_WIN
    return name;
#else
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
        name.find_first_not_of("0123456789", 3) == std::string::npos) {
        const uint32_t number = ParseDecimal(std::string_view(name).substr(3));
        if (number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
    }
    return SimulatedPortDevice(name);
#endif
}

std::vector<std::string> EnumComPorts() {
    std::vector<std::string> names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names.push_back(info.portName().toStdString());
    // Simulated devices on pseudo-terminals, which the system enumeration does not list.
    for (std::string& port : ListSimulatedPorts()) names.push_back(std::move(port));
    return names;
}
