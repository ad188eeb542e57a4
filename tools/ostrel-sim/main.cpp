// ostrel-sim: the simulated Ostrel on a pseudo-terminal. See --help.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "logs/read_log_file.h"
#include "packet_trace.h"
#include "read_rate_limit.h"
#include "replay_source.h"
#include "sim_loop_posix.h"
#include "sim_options.h"
#include "sim_ports/simulated_port_registry.h"
#include "simulated_device.h"
#include "terminal_posix.h"
#include "traffic_generator.h"
#include "virtual_bus.h"

namespace {

int BadUsage(const std::string& error) {
    std::fprintf(stderr, "ostrel-sim: %s\nTry 'ostrel-sim --help'.\n", error.c_str());
    return kExitBadUsage;
}

std::unique_ptr<TrafficSource> MakeTraffic(const SimOptions& options, std::string& error) {
    if (options.replayFile.empty()) return std::make_unique<TrafficGenerator>(options.generator);
    std::vector<LogFrame> frames;
    LogReadError readError;
    if (!ReadLogFile(options.replayFile, frames, readError)) {
        error = options.replayFile + ": " +
                (readError.place.empty() ? "" : readError.place + ": ") + readError.reason;
        return nullptr;
    }
    return std::make_unique<ReplaySource>(std::move(frames), options.fast);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const SimOptions options =
        ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!error.empty()) return BadUsage(error);
    if (options.help) {
        std::fputs(SimHelpText().c_str(), stdout);
        return kExitOk;
    }
    std::unique_ptr<TrafficSource> traffic = MakeTraffic(options, error);
    if (!traffic) return BadUsage("--replay: " + error);
    std::unique_ptr<std::FILE, FileCloser> traceFile;
    std::unique_ptr<PacketTrace> trace;
    if (!options.traceFile.empty()) {
        traceFile.reset(std::fopen(options.traceFile.c_str(), "w"));
        if (!traceFile) return BadUsage("--trace: cannot write " + options.traceFile);
        trace = std::make_unique<PacketTrace>(traceFile.get());
    }

    BlockSimulatorSignals();
    std::unique_ptr<Terminal> terminal = options.port.empty()
                                             ? Terminal::OpenPseudoTerminal(error)
                                             : Terminal::OpenDevice(options.port, error);
    if (!terminal) {
        std::fprintf(stderr, "ostrel-sim: %s\n", error.c_str());
        return kExitFailure;
    }
    // The PC opens the announced name: a saved /dev/pts/N could be another program's terminal
    // once this simulator has ended.
    std::unique_ptr<SimulatedPortAnnouncement> announcement;
    std::string portName = terminal->path();
    if (options.port.empty()) {
        announcement =
            std::make_unique<SimulatedPortAnnouncement>(terminal->slaveFd(), options.portName);
        if (announcement->Announced()) {
            portName = announcement->Name();
        } else if (!options.portName.empty()) {
            std::fprintf(stderr, "ostrel-sim: --name: %s\n", announcement->Error().c_str());
            return kExitFailure;
        } else {
            std::fprintf(stderr, "ostrel-sim: Auto Detect will not find the port: %s\n",
                         announcement->Error().c_str());
        }
    }
    std::unique_ptr<VirtualBus> bus;
    if (!options.bus.empty()) {
        bus = std::make_unique<VirtualBus>(options.bus);
        if (!bus->Joined()) {
            std::fprintf(stderr, "ostrel-sim: cannot join bus %s: %s\n", options.bus.c_str(),
                         bus->Error().c_str());
            return kExitFailure;
        }
    }
    std::printf("%s\n", portName.c_str());
    std::fflush(stdout);

    const uint32_t faultSeed = options.generator.seed + 1;
    SimulatedDevice device(options.device, std::move(traffic),
                           OutputFaults(options.garbage, options.dropBytes, faultSeed), trace.get(),
                           MonotonicMicroseconds());
    if (bus) device.SetBusOutput([&bus](const CANBuffer& frame) { bus->Send(frame); });
    ReadRateLimit readLimit(options.readRate, MonotonicMicroseconds());
    const int exitCode = RunSimulator(device, *terminal, readLimit, bus.get(), stderr);
    std::fputs(FormatCounters(device.Counters()).c_str(), stderr);
    return exitCode;
}
