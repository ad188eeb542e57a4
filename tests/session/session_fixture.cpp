#include "session_fixture.h"

#include <ostream>

std::vector<std::string> SessionTest::qtMessages;

void PrintTo(const SentPacket& packet, std::ostream* out) {
    *out << "'" << static_cast<char>(packet.command) << "' "
         << ::testing::PrintToString(packet.payload);
}

SessionTest::SessionTest() {
    host.session = &session;
    config.busRate = 250000;
    config.loopback = 0;
    config.listenOnly = 1;
    qtMessages.clear();
    previousHandler_ =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            qtMessages.push_back(text.toStdString());
        });
}

SessionTest::~SessionTest() {
    qInstallMessageHandler(previousHandler_);
    EXPECT_EQ(qtMessages, std::vector<std::string>{});
}

void SessionTest::ReceiveBytes(const std::vector<uint8_t>& wire) {
    for (uint8_t byte : wire)
        if (assembler.Accept(byte)) session.Dispatch(assembler);
}

void SessionTest::Receive(uint8_t letter, const std::vector<uint8_t>& payload) {
    const Frame packet(letter, static_cast<uint8_t>(payload.size()), payload.data());
    ReceiveBytes(packet.Encode());
}

void SessionTest::Connect() {
    host.OpenLink();
    Receive('Z');
    device.TakeWritten();
    device.writes.clear();
}

std::vector<SentPacket> SessionTest::TakeSentPackets() {
    std::vector<SentPacket> packets;
    Frame decoder{kLetterIdentified, 1};
    for (uint8_t byte : device.TakeWritten())
        if (decoder.Accept(byte))
            packets.push_back(
                {decoder.command, std::vector<uint8_t>(decoder.payload.begin(),
                                                       decoder.payload.begin() + decoder.length)});
    device.writes.clear();
    return packets;
}
