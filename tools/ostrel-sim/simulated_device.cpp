#include "simulated_device.h"

#include <algorithm>

#include "common/can_limits.h"
#include "packet_trace.h"
#include "session/device_commands.h"

namespace {

// Everything of the frame layout but the brief byte, which the PC fills in itself.
constexpr uint8_t kFrameLength = CANBufferPIC::kSize - 1;

uint32_t LittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

SimulatedDevice::SimulatedDevice(const DeviceSettings& settings,
                                 std::unique_ptr<TrafficSource> traffic, OutputFaults faults,
                                 PacketTrace* trace, uint64_t nowUs)
    : settings_(settings), traffic_(std::move(traffic)), faults_(faults), trace_(trace) {
    PowerOn(nowUs);
}

void SimulatedDevice::PowerOn(uint64_t nowUs) {
    assembler_ = Frame(0, 0);
    setup_ = BusSetup{};
    filter_.Reset();
    displayOn_ = true;
    powerOnUs_ = nowUs;
    trafficStartUs_.reset();
    trafficRunning_ = false;
    framesLostSinceLastSent_ = false;
    // Whatever the device still held for the line goes with the reset.
    output_.clear();
    outputStart_ = 0;
}

void SimulatedDevice::Receive(const uint8_t* data, size_t size, uint64_t nowUs) {
    for (size_t i = 0; i < size; ++i) {
        if (assembler_.Accept(data[i])) {
            HandlePacket(assembler_, nowUs);
            continue;
        }
        // The reset is the start byte and 'R' alone, without a length.
        if (assembler_.inPacket && assembler_.stage == 1 && assembler_.command == kLetterReset) {
            ++counters_.packetsByCommand[kLetterReset];
            if (trace_ != nullptr)
                trace_->Record(nowUs, TracedPacket::kFromPc, kLetterReset, nullptr, 0);
            PowerOn(nowUs);
        }
    }
}

void SimulatedDevice::HandlePacket(const Frame& packet, uint64_t nowUs) {
    const uint8_t* payload = packet.payload.data();
    if (trace_ != nullptr)
        trace_->Record(nowUs, TracedPacket::kFromPc, packet.command, payload, packet.length);
    ++counters_.packetsByCommand[static_cast<char>(packet.command)];
    switch (packet.command) {
        case kLetterIdentify:
            if (settings_.silent) break;
            SendPacket(kLetterIdentified, nullptr, 0, nowUs);
            if (!trafficStartUs_) trafficStartUs_ = nowUs + kSetupWaitUs;
            break;
        case kLetterBusSetup:
            if (packet.length < kBusSetupLength) {
                ++counters_.malformedPackets;
                break;
            }
            setup_ = BusSetup{LittleEndian32(payload), payload[4] != 0, payload[5] != 0,
                              payload[6] != 0};
            break;
        case kLetterFilter:
            if (packet.length < kFilterLength ||
                !filter_.SetSlot(payload[0], AcceptanceFilter::Slot{LittleEndian32(payload + 2),
                                                                    LittleEndian32(payload + 6),
                                                                    payload[1] != 0}))
                ++counters_.malformedPackets;
            break;
        case kLetterDisplay:
            if (packet.length < 1) {
                ++counters_.malformedPackets;
                break;
            }
            displayOn_ = (payload[0] & 1) != 0;
            if (TrafficWaitsForSetup()) StartTraffic(nowUs);
            break;
        case kLetterFrame:
        case kLetterFrameAck:
            Transmit(packet, packet.command == kLetterFrameAck, nowUs);
            break;
        default:
            break;
    }
}

void SimulatedDevice::Transmit(const Frame& packet, bool acknowledge, uint64_t nowUs) {
    const CANBuffer frame = FromPIC(CANBufferPIC::FromBytes(packet.payload.data()), 0);
    const int dataBytes = std::min<int>(frame.dlc, 8);
    if (packet.length < CANBufferPIC::kHeaderSize + dataBytes) {
        ++counters_.malformedPackets;
        return;
    }
    // In loopback the controller keeps the frame to itself; listening only, it sends nothing.
    if (!setup_.loopback && !setup_.listenOnly) {
        ++counters_.framesToBus;
        if (busOutput_) busOutput_(frame);
    }
    if (acknowledge && !settings_.noAck) {
        SendPacket(kLetterAcknowledge, nullptr, 0, nowUs);
        ++counters_.acknowledgements;
    }
    if (setup_.loopback) DeliverToPc(frame, nowUs, true, nowUs);
}

void SimulatedDevice::ReceiveFromBus(const CANBuffer& frame, uint64_t nowUs) {
    if (!trafficRunning_ || hangupRequested_) return;
    ++counters_.framesFromBus;
    DeliverToPc(frame, nowUs, false, nowUs);
}

void SimulatedDevice::StartTraffic(uint64_t nowUs) {
    if (trafficRunning_) return;
    trafficRunning_ = true;
    if (!nextFrame_ && !TrafficOver()) {
        TimedFrame frame;
        if (traffic_ && traffic_->Next(frame))
            nextFrame_ = frame;
        else
            trafficExhausted_ = true;
    }
    // The traffic goes on from where a reset paused it, the waiting frame due now.
    const uint64_t due = nextFrame_ ? nextFrame_->dueUs : 0;
    trafficBaseUs_ = static_cast<int64_t>(nowUs) - static_cast<int64_t>(due);
}

bool SimulatedDevice::TrafficOver() const {
    return trafficExhausted_ || hangupRequested_ ||
           (settings_.count && counters_.framesGenerated >= *settings_.count);
}

std::optional<uint64_t> SimulatedDevice::NextFrameDueUs() const {
    if (TrafficWaitsForSetup()) return trafficStartUs_;
    if (!trafficRunning_ || TrafficOver() || !nextFrame_) return std::nullopt;
    if (!traffic_->Paced()) {
        if (OutputSize() >= settings_.outputLimit / 2) return std::nullopt;
        return 0;
    }
    return static_cast<uint64_t>(trafficBaseUs_ + static_cast<int64_t>(nextFrame_->dueUs));
}

void SimulatedDevice::Advance(uint64_t nowUs) {
    if (TrafficWaitsForSetup() && nowUs >= *trafficStartUs_) StartTraffic(*trafficStartUs_);
    while (trafficRunning_ && !TrafficOver() && nextFrame_) {
        const std::optional<uint64_t> due = NextFrameDueUs();
        if (!due || *due > nowUs) return;
        const TimedFrame frame = *nextFrame_;
        nextFrame_.reset();
        ++counters_.framesGenerated;
        DeliverToPc(frame.frame, traffic_->Paced() ? *due : nowUs, false, nowUs);
        if (settings_.hangupAfter && counters_.framesGenerated >= *settings_.hangupAfter)
            hangupRequested_ = true;
        if (TrafficOver()) return;
        TimedFrame following;
        if (traffic_->Next(following))
            nextFrame_ = following;
        else
            trafficExhausted_ = true;
    }
}

void SimulatedDevice::DeliverToPc(const CANBuffer& frame, uint64_t receivedUs, bool loopedBack,
                                  uint64_t nowUs) {
    if (!filter_.Passes(frame.id, frame.extended != 0)) {
        ++counters_.framesDroppedByFilters;
        return;
    }
    ++framesPassed_;
    const bool lostOnPurpose =
        !loopedBack && settings_.lostEvery != 0 && framesPassed_ % settings_.lostEvery == 0;
    if (lostOnPurpose || OutputSize() >= settings_.outputLimit) {
        ++counters_.framesLost;
        framesLostSinceLastSent_ = true;
        return;
    }
    CANBuffer received = frame;
    received.brief = 0;
    received.timestamp = static_cast<uint32_t>((receivedUs - powerOnUs_) * kDeviceTicksPerUs);
    CANBufferPIC pic = ToPIC(received);
    if (framesLostSinceLastSent_) pic.control |= CANBufferPIC::kFramesLostBit;
    framesLostSinceLastSent_ = false;
    uint8_t bytes[CANBufferPIC::kSize];
    pic.ToBytes(bytes);
    if (setup_.brief)
        SendPacket(kLetterBriefFrame, bytes, CANBufferPIC::kHeaderSize, nowUs);
    else
        SendPacket(kLetterFrame, bytes, kFrameLength, nowUs);
    ++counters_.framesToPc;
    if (loopedBack) ++counters_.framesLoopedBack;
}

void SimulatedDevice::SendPacket(uint8_t letter, const uint8_t* payload, uint8_t length,
                                 uint64_t nowUs) {
    if (trace_ != nullptr) trace_->Record(nowUs, TracedPacket::kToPc, letter, payload, length);
    faults_.Append(Frame(letter, length, payload).Encode(), output_);
}

void SimulatedDevice::ConsumeOutput(size_t size) {
    outputStart_ += std::min(size, OutputSize());
    if (outputStart_ == output_.size()) {
        output_.clear();
        outputStart_ = 0;
    } else if (outputStart_ > output_.size() / 2) {
        output_.erase(output_.begin(), output_.begin() + static_cast<ptrdiff_t>(outputStart_));
        outputStart_ = 0;
    }
}

DeviceCounters SimulatedDevice::Counters() const {
    DeviceCounters counters = counters_;
    counters.garbageBytes = faults_.garbageBytes;
    counters.droppedBytes = faults_.droppedBytes;
    return counters;
}
