#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "logs/log_file.h"
#include "logs/log_reader.h"
#include "session/can_buffer.h"

// The Wireshark capture: a pcapng file as the IETF OPSAWG Internet-Draft "PCAP Now Generic
// (pcapng) Capture File Format" (draft-ietf-opsawg-pcapng) lays out its blocks, with one
// interface of link type LINKTYPE_CAN_SOCKETCAN (227), whose packets are SocketCAN can_frame
// structures. One frame is one Enhanced Packet Block, for example the standard frame 123 with
// the data 55 AA at 1.5 s (little-endian block words, the CAN identifier big-endian):
//   06000000 30000000 00000000 00000000 60E31600 10000000 10000000
//   00000123 02000000 55AA000000000000 30000000
// The identifier carries the EFF flag (0x80000000) when extended and the RTR flag
// (0x40000000) for a response frame; then the length, three reserved bytes and eight data
// bytes (zero past the length). The packet time is the device time in microseconds.

// Writing: as the candump log, a brief frame is a frame of its kind with length 0 and lengths
// above 8 are the eight bytes held.
void AppendPcapngPacket(std::string& out, const CANBuffer& record);

// The whole file: the Section Header and Interface Description blocks, then a packet block
// per frame.
LogFormat PcapngLogFormat();

// True when `bytes` start as a pcapng file does.
bool LooksLikePcapng(std::string_view bytes);

// Reading: captures of either byte order, several interfaces as long as all are SocketCAN, any
// time resolution; error frames are skipped, CAN FD frames refused. False at the first bad
// block, with `error` naming it ("block 3").
bool ReadPcapngLog(std::string_view bytes, std::vector<LogFrame>& frames, LogReadError& error,
                   size_t maxFrames);
