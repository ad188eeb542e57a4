#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "sim_ports/simulated_port_registry.h"
#include "virtual_bus.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxNameLength = 64;
constexpr const char* kSocketExtension = ".sock";

// False when `path` does not fit a socket address.
bool SocketAddress(const fs::path& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (text.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

// Unique among the members of this process too (a test may run several); the process id makes
// it unique on the machine, and a file of that name can only be left over from an ended process.
std::string MemberName() {
    static std::atomic<unsigned> joined{0};
    return std::to_string(getpid()) + "-" + std::to_string(joined++) + kSocketExtension;
}

}  // namespace

bool ValidBusName(const std::string& name) {
    return !name.empty() && name.size() <= kMaxNameLength && name[0] != '.' &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '.';
           });
}

VirtualBus::VirtualBus(const std::string& name) {
    folder_ = SimulatorSubfolder("bus-" + name, error_);
    if (folder_.empty()) return;
    socketPath_ = folder_ / MemberName();
    sockaddr_un address;
    if (!SocketAddress(socketPath_, address)) {
        error_ = socketPath_.string() + " is too long for a socket";
        return;
    }
    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error_ = std::string("cannot make a socket: ") + std::strerror(errno);
        return;
    }
    unlink(socketPath_.c_str());
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error_ = "cannot create " + socketPath_.string() + ": " + std::strerror(errno);
        close(fd);
        return;
    }
    fd_ = fd;
}

VirtualBus::~VirtualBus() {
    if (fd_ < 0) return;
    close(fd_);
    unlink(socketPath_.c_str());
}

void VirtualBus::Send(const CANBuffer& frame) {
    if (fd_ < 0) return;
    uint8_t bytes[CANBufferPIC::kSize];
    ToPIC(frame).ToBytes(bytes);
    std::error_code ec;
    for (const fs::directory_entry& member : fs::directory_iterator(folder_, ec)) {
        if (member.path().extension() != kSocketExtension || member.path() == socketPath_) continue;
        sockaddr_un address;
        if (!SocketAddress(member.path(), address)) continue;
        if (sendto(fd_, bytes, sizeof bytes, MSG_DONTWAIT | MSG_NOSIGNAL,
                   reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 &&
            errno == ECONNREFUSED)
            unlink(member.path().c_str());  // nobody listens there any more
    }
}

bool VirtualBus::Receive(CANBuffer& frame) {
    if (fd_ < 0) return false;
    uint8_t bytes[CANBufferPIC::kSize + 1];
    while (true) {
        const ssize_t size = recv(fd_, bytes, sizeof bytes, MSG_DONTWAIT);
        if (size < 0 && errno == EINTR) continue;
        if (size < 0) return false;
        // Only members send here, but a datagram of another size is no frame.
        if (size != CANBufferPIC::kSize) continue;
        frame = FromPIC(CANBufferPIC::FromBytes(bytes));
        return true;
    }
}
