#include "sim_connected_form.h"

#include <QPlainTextEdit>
#include <QTest>
#include <chrono>
#include <cstdio>

#include "link/port_names.h"
#include "session/device_commands.h"
#include "session/handle_can.h"

namespace {

// Auto Detect's settling and handshake take about a second; this only guards against a hang.
constexpr int kConnectTimeoutMs = 10000;
constexpr int kCountersTimeoutMs = 1000;

}  // namespace

SimConnectedForm::SimConnectedForm(const QStringList& simArguments, bool traced)
    : sim(simArguments, traced),
      form(
          {comPort, messages, config, EnumComPorts, folder.filePath("BRANNOX.INI").toStdString()}) {
    // The window's own port enumeration lists the simulators of this registry folder.
    qputenv("OSTREL_SIM_REGISTRY", QByteArray::fromStdString(sim.RegistryFolder()));
}

SimConnectedForm::~SimConnectedForm() {
    qunsetenv("OSTREL_SIM_REGISTRY");
}

bool SimConnectedForm::StartAndConnect() {
    if (sim.port().empty()) return false;
    form.FormCreate();  // no port saved yet: Auto Detect
    form.show();
    if (QTest::qWaitFor([this] { return form.session().connected; }, kConnectTimeoutMs))
        return true;
    PrintWhyNotConnected();
    return false;
}

void SimConnectedForm::PrintWhyNotConnected() {
    std::fprintf(stderr, "The window did not connect to %s.\nIts log:\n%s\n", sim.port().c_str(),
                 form.findChild<QPlainTextEdit*>("FrameList")->toPlainText().toUtf8().constData());
    for (const RecordingUserMessages::Box& box : messages.boxes)
        std::fprintf(stderr, "Box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    const uint64_t nowUs = TraceClockUs();
    std::fprintf(stderr, "The simulator's packets ('>' from the window), ms before now:\n");
    for (const TracedPacket& packet : sim.Trace())
        std::fprintf(stderr, "  %c %c %.1f\n", packet.direction, packet.letter,
                     static_cast<double>(nowUs - packet.timeUs) / 1000.0);
    sim.Counters(kCountersTimeoutMs);  // the counters join its standard error
    std::fprintf(stderr, "Its standard error:\n%s\n", sim.StandardError().c_str());
}

std::vector<TracedPacket> SimConnectedForm::FramesFromPc() const {
    std::vector<TracedPacket> frames;
    for (TracedPacket& packet : sim.Trace(TracedPacket::kFromPc))
        if (packet.letter == kLetterFrame || packet.letter == kLetterFrameAck)
            frames.push_back(std::move(packet));
    return frames;
}

CANBuffer SentFrame(const TracedPacket& packet) {
    uint8_t layout[CANBufferPIC::kSize] = {};
    std::copy_n(packet.payload.begin(), std::min<size_t>(packet.payload.size(), sizeof layout),
                layout);
    return FromPIC(CANBufferPIC::FromBytes(layout));
}

uint64_t TraceClockUs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}
