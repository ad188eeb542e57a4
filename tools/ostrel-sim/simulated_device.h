#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "acceptance_filter.h"
#include "device_counters.h"
#include "link/frame.h"
#include "output_faults.h"
#include "traffic_source.h"

class PacketTrace;

struct DeviceSettings {
    // Never answer 'Y'.
    bool silent = false;
    // Never answer 'G' with 'K'.
    bool noAck = false;
    // Every Nth frame that passes the filters is lost; 0: none.
    uint64_t lostEvery = 0;
    // Stop the traffic after this many frames.
    std::optional<uint64_t> count;
    // Hang up the line after this many frames.
    std::optional<uint64_t> hangupAfter;
    // Bytes of frames the device holds for a line that does not keep up; beyond it frames
    // are lost.
    size_t outputLimit = 64 * 1024;
};

// The Ostrel's side of the packet protocol, without any line: bytes from the PC go in with
// Receive(), the bytes for the PC collect in the output, and Advance() lets the simulated
// bus traffic happen. Every call takes the time, in microseconds of a monotonic clock, so a
// test can drive it with a clock of its own.
//
// Behaviour: the unframed 55 52 restores the power-on setup and stops the traffic; 'Y' is
// answered with 'Z'; 'B', 'A' and 'C' store the bus setup, one filter slot and the display
// flag. The traffic starts (or resumes) once the PC has set the device up after the 'Y': at
// its 'C', which ends the PC's setup, or kSetupWaitUs after the 'Y' when no 'C' comes; 'F' and 'G'
// send a frame ('G' answered with 'K'); with loopback on, the frame comes back as a received one,
// and neither loopback nor listen-only puts it on the bus. Received frames pass the acceptance
// filter and go to the PC as 'F' (or 'H' with the six header bytes in brief mode) stamped in 0.5 us
// ticks since power-on; the first frame after lost ones carries bit 7 of its control byte.
class SimulatedDevice {
  public:
    // How long the traffic waits for the PC's setup after a 'Y'.
    static constexpr uint64_t kSetupWaitUs = 500000;

    struct BusSetup {
        uint32_t rate = 500000;
        bool loopback = false;
        bool listenOnly = false;
        bool brief = false;
    };

    SimulatedDevice(const DeviceSettings& settings, std::unique_ptr<TrafficSource> traffic,
                    OutputFaults faults, PacketTrace* trace, uint64_t nowUs);

    void Receive(const uint8_t* data, size_t size, uint64_t nowUs);
    // Where the frames this device sends on the bus go besides; none: no other device hears them.
    void SetBusOutput(std::function<void(const CANBuffer&)> output) {
        busOutput_ = std::move(output);
    }
    // A frame another device sent on the bus: it reaches the PC as generated frames do, and is
    // ignored, as they are, until the PC has set the device up.
    void ReceiveFromBus(const CANBuffer& frame, uint64_t nowUs);
    // Puts the frames that are due by `nowUs` on the simulated bus.
    void Advance(uint64_t nowUs);
    // When Advance() next has a frame to deliver (at once when that is not later than now);
    // none while the traffic waits for the line, for a 'Y', or is over.
    std::optional<uint64_t> NextFrameDueUs() const;

    // Bytes waiting to go to the PC.
    const uint8_t* Output() const { return output_.data() + outputStart_; }
    size_t OutputSize() const { return output_.size() - outputStart_; }
    void ConsumeOutput(size_t size);

    // The frames before the hang-up have been made; the line should close once the output
    // has gone out.
    bool HangupRequested() const { return hangupRequested_; }
    bool TrafficRunning() const { return trafficRunning_; }
    const BusSetup& setup() const { return setup_; }
    const AcceptanceFilter& filter() const { return filter_; }
    bool displayOn() const { return displayOn_; }
    DeviceCounters Counters() const;

  private:
    void PowerOn(uint64_t nowUs);
    void HandlePacket(const Frame& packet, uint64_t nowUs);
    void StartTraffic(uint64_t nowUs);
    bool TrafficWaitsForSetup() const { return trafficStartUs_.has_value() && !trafficRunning_; }
    bool TrafficOver() const;
    void Transmit(const Frame& packet, bool acknowledge, uint64_t nowUs);
    void DeliverToPc(const CANBuffer& frame, uint64_t receivedUs, bool loopedBack, uint64_t nowUs);
    void SendPacket(uint8_t letter, const uint8_t* payload, uint8_t length, uint64_t nowUs);

    DeviceSettings settings_;
    std::unique_ptr<TrafficSource> traffic_;
    OutputFaults faults_;
    PacketTrace* trace_;
    std::function<void(const CANBuffer&)> busOutput_;
    DeviceCounters counters_;

    Frame assembler_{0, 0};
    BusSetup setup_;
    AcceptanceFilter filter_;
    bool displayOn_ = true;
    uint64_t powerOnUs_ = 0;

    // When the traffic starts at the latest, set by a 'Y'.
    std::optional<uint64_t> trafficStartUs_;
    bool trafficRunning_ = false;
    bool trafficExhausted_ = false;
    bool hangupRequested_ = false;
    std::optional<TimedFrame> nextFrame_;
    // Absolute time of a frame's dueUs 0; moves on when the traffic resumes after a pause.
    int64_t trafficBaseUs_ = 0;
    uint64_t framesPassed_ = 0;
    bool framesLostSinceLastSent_ = false;

    std::vector<uint8_t> output_;
    size_t outputStart_ = 0;
};
