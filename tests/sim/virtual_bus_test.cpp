#include "virtual_bus.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// What a killed member leaves behind: a socket file that nobody reads.
fs::path LeaveDeadMember(const fs::path& folder) {
    const fs::path path = folder / "1-0.sock";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    EXPECT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    close(fd);
    return path;
}

}  // namespace

TEST(VirtualBus, AFrameReachesEveryOtherMemberOnceAndADeadMemberIsForgotten) {
    QTemporaryDir registry;
    setenv("OSTREL_SIM_REGISTRY", registry.path().toUtf8().constData(), 1);
    VirtualBus sender("rig");
    VirtualBus receiver("rig");
    VirtualBus otherBus("bench");
    ASSERT_TRUE(sender.Joined()) << sender.Error();
    ASSERT_TRUE(receiver.Joined()) << receiver.Error();
    const fs::path dead = LeaveDeadMember(registry.path().toStdString() + "/bus-rig");

    const uint8_t data[] = {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4};
    sender.Send(CANBuffer(0x18EF2000, true, true, 8, data));
    CANBuffer frame;
    ASSERT_TRUE(receiver.Receive(frame));
    EXPECT_EQ(frame.id, 0x18EF2000u);
    EXPECT_TRUE(frame.extended);
    EXPECT_TRUE(frame.response);
    EXPECT_EQ(frame.dlc, 8);
    EXPECT_EQ(frame.data[3], 0xEF);
    EXPECT_EQ(frame.data[7], 4);
    EXPECT_FALSE(receiver.Receive(frame)) << "delivered once";
    EXPECT_FALSE(sender.Receive(frame)) << "not back to the sender";
    EXPECT_FALSE(otherBus.Receive(frame)) << "not to another bus";
    EXPECT_FALSE(fs::exists(dead));

    // The bus still works both ways after the dead member was met.
    receiver.Send(CANBuffer(0x7FF, false, false, 0, data));
    ASSERT_TRUE(sender.Receive(frame));
    EXPECT_EQ(frame.id, 0x7FFu);
    unsetenv("OSTREL_SIM_REGISTRY");
}

TEST(VirtualBus, NamesAreSimpleFileNames) {
    for (const char* good : {"rig", "can-0", "bench_2.a"}) EXPECT_TRUE(ValidBusName(good)) << good;
    for (const std::string& bad : {std::string(), std::string(".hidden"), std::string(".."),
                                   std::string("a/b"), std::string("a b"), std::string(65, 'x')})
        EXPECT_FALSE(ValidBusName(bad)) << bad;
}
