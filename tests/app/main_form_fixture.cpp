#include "main_form_fixture.h"

#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>

#include "config/config_file.h"
#include "link/frame.h"
#include "session/handle_can.h"

bool DetectableDevice::Open() {
    failOpen = failing.count(portName) != 0;
    return FakeSerialPortDevice::Open();
}

void DetectableDevice::Write(const uint8_t* data, int size) {
    FakeSerialPortDevice::Write(data, size);
    const std::vector<uint8_t> identify = {0x55, 'Y', 0x00};
    const bool isIdentify = std::equal(data, data + size, identify.begin(), identify.end());
    if (isIdentify && answering.count(portName) != 0) Feed({0x55, 'Z', 0x00});
}

MainFormTest::MainFormTest() : form(Services()) {
    LoadConfig(form.configPath(), config, form.Controls());
}

MainFormServices MainFormTest::Services() {
    return {device, messages, config, [this] { return ports; },
            folder.filePath("BRANNOX.INI").toStdString()};
}

void MainFormTest::Connect() {
    form.SetPortName("ttyFAKE");
    form.Connect1Click();
    FinishConnecting();
    Receive({0x55, 'Z', 0x00});
    ASSERT_TRUE(form.session().connected);
    TakeWritten();
}

void MainFormTest::FinishConnecting(TMainForm& window) {
    // Auto Detect over a few ports one after the other takes some seconds.
    constexpr int kTimeoutMs = 10000;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.ConnectionBusy(); }, kTimeoutMs));
}

void MainFormTest::Receive(const std::vector<uint8_t>& wire) {
    device.Feed(wire);
    device.onRxChar(static_cast<int>(wire.size()));
}

std::vector<SentPacket> MainFormTest::TakeSentPackets() {
    std::vector<SentPacket> packets;
    Frame assembler('Z', 1);
    const std::vector<uint8_t> wire = TakeWritten();
    for (size_t i = 0; i < wire.size(); ++i) {
        // The reset is two bytes without a length; the next start byte ends it.
        if (wire[i] == Frame::kStart && i + 1 < wire.size() && wire[i + 1] == 'R') {
            packets.push_back({'R', {}});
            ++i;
            continue;
        }
        if (assembler.Accept(wire[i]))
            packets.push_back({assembler.command,
                               std::vector<uint8_t>(assembler.payload.begin(),
                                                    assembler.payload.begin() + assembler.length)});
    }
    return packets;
}

std::string MainFormTest::TakeSentLetters() {
    std::string letters;
    for (const SentPacket& packet : TakeSentPackets()) letters += static_cast<char>(packet.command);
    return letters;
}

QStringList MainFormTest::LogLines() {
    const QString text = Control<QPlainTextEdit>("FrameList")->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}
