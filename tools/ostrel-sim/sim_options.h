#pragma once

#include <string>
#include <vector>

#include "simulated_device.h"
#include "traffic_generator.h"

// Everything the command line sets.
struct SimOptions {
    // An existing terminal device to serve; empty: a new pseudo-terminal.
    std::string port;
    GeneratorSettings generator;
    // A candump log to play instead of the generator.
    std::string replayFile;
    bool fast = false;
    DeviceSettings device;
    double garbage = 0;
    double dropBytes = 0;
    std::string traceFile;
    // The port is announced as ostrel-sim-<portName>; empty: ostrel-sim-<process id>.
    std::string portName;
    // The shared virtual bus the device joins; empty: none.
    std::string bus;
    // Bytes a second the device reads from the line; 0: as fast as they come.
    uint64_t readRate = 0;
    bool help = false;
};

// Reads the arguments after the program name. On a bad or missing value `error` says what is
// wrong (the caller prints it and exits with code 2).
SimOptions ParseSimOptions(const std::vector<std::string>& args, std::string& error);

std::string SimHelpText();
