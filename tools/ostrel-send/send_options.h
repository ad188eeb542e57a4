#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "session/can_buffer.h"

// What the command line of ostrel-send sets.
struct SendOptions {
    DeviceOptions device;
    int gapMs = -1;  // -1: no -g (a log's own timing, or back to back)
    uint64_t count = 1;
    std::string logFile;  // -f: the frames of a candump log
    CANBuffer frame;      // the frame of the command line, without -f
    bool help = false;
};

// Reads the arguments after the program name; on a bad one `error` says what is wrong in one
// line.
SendOptions ParseSendOptions(const std::vector<std::string>& args, std::string& error);

// A frame in candump's and cansend's syntax: 123#DEADBEEF, 12345678#, 123#R, 123#R4.
bool ParseFrameText(const std::string& text, CANBuffer& frame, std::string& error);

std::string SendHelpText();
