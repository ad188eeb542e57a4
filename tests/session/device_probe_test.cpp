#include "session/device_probe.h"

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <map>

#include "link/serial.h"
#include "session/port_search.h"
#include "support/fake_serial_port_device.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A port whose device answers the identify packet with `answer`; ports named in `closed`
// do not open.
class AnsweringPort : public FakeSerialPortDevice {
  public:
    void Write(const uint8_t* data, int size) override {
        FakeSerialPortDevice::Write(data, size);
        const Bytes identify{0x55, 'Y', 0};
        if (written.size() >= 3 && Bytes(written.end() - 3, written.end()) == identify)
            Feed(answers.count(portName) ? answers[portName] : Bytes{});
    }
    bool Open() override { return portName != "closed" && FakeSerialPortDevice::Open(); }

    std::map<std::string, Bytes> answers;
};

}  // namespace

TEST(DeviceProbe, ExchangeAndAnswersThatCount) {
    struct Case {
        Bytes stale;  // sent before the reset
        Bytes answer;
        bool found;
    } cases[] = {
        {{}, {0x55, 'Z'}, true},
        {{}, {0x55, 'Z', 0x55, 'F'}, true},
        {{}, {0x55, 'Y'}, false},
        {{}, {0x55}, false},
        {{}, {}, false},
        // A 'Z' left from before the reset is discarded, not taken for the answer.
        {{0x55, 'Z'}, {}, false},
    };
    for (const Case& c : cases) {
        AnsweringPort port;
        port.answers["ttyA"] = c.answer;
        const std::unique_ptr<Serial> link = DeviceProbe::OpenLink(port, "ttyA", 115200);
        ASSERT_TRUE(link->isOpen);
        port.Feed(c.stale);
        EXPECT_EQ(DeviceProbe::Answers(*link), c.found);
        EXPECT_EQ(port.TakeWritten(), (Bytes{0x55, 'R', 0x55, 'Y', 0}));
        EXPECT_EQ(port.inputSize, DeviceProbe::kLinkBufferSize);
    }
}

TEST(DeviceProbe, FindTriesEveryNameInOrderAndStopsAtTheAnsweringOne) {
    AnsweringPort port;
    port.answers["ttyB"] = {0x55, 'Z'};
    port.answers["ttyC"] = {0x55, 'Z'};
    std::vector<std::string> tried;
    const auto found = DeviceProbe::Find(port, {"closed", "ttyA", "ttyB", "ttyC"}, 115200,
                                         [&](const std::string& name) { tried.push_back(name); });
    EXPECT_EQ(found, "ttyB");
    EXPECT_EQ(tried, (std::vector<std::string>{"closed", "ttyA", "ttyB"}));
    EXPECT_FALSE(port.IsOpen());

    EXPECT_EQ(DeviceProbe::Find(port, {"ttyA"}, 115200, [](const std::string&) {}), std::nullopt);
}

TEST(PortSearch, ToldInListOrderAndTheFirstInTheListThatAnsweredIsFound) {
    // One component probes the ports one after the other, four probe them at once.
    for (const size_t components : {size_t{1}, size_t{4}}) {
        std::vector<AnsweringPort> ports(components);
        std::vector<SerialPortDevice*> free;
        for (AnsweringPort& port : ports) {
            port.answers = {{"ttyB", {0x55, 'Z'}}, {"ttyC", {0x55, 'Z'}}};
            free.push_back(&port);
        }
        std::vector<std::string> tried;
        std::optional<std::string> found;
        std::unique_ptr<Serial> link;
        bool ended = false;
        PortSearch search({"closed", "ttyA", "ttyB", "ttyC"}, 115200, free,
                          {[&](const std::string& name) { tried.push_back(name); }, [](size_t) {},
                           [&](std::optional<std::string> name, std::unique_ptr<Serial> open) {
                               found = name;
                               link = std::move(open);
                               ended = true;
                           }});
        search.Start();
        QTest::qWait(50);  // the ports open one a turn of the event loop, well within the settle
        const auto open = std::count_if(ports.begin(), ports.end(),
                                        [](const AnsweringPort& p) { return p.IsOpen(); });
        EXPECT_EQ(static_cast<size_t>(open), std::min<size_t>(components, 3)) << components;
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, 5000));

        EXPECT_EQ(tried, (std::vector<std::string>{"closed", "ttyA", "ttyB"})) << components;
        EXPECT_EQ(found, "ttyB");
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(static_cast<AnsweringPort&>(link->port).portName, "ttyB");
        // Every port tried saw one exchange; one after the other, ttyC is not tried at all.
        const Bytes exchange{0x55, 'R', 0x55, 'Y', 0};
        size_t exchanges = 0;
        for (AnsweringPort& port : ports) {
            const Bytes written = port.TakeWritten();
            EXPECT_EQ(written.size() % exchange.size(), 0u);
            for (size_t at = 0; at + exchange.size() <= written.size();
                 at += exchange.size(), ++exchanges)
                EXPECT_EQ(Bytes(written.begin() + at, written.begin() + at + exchange.size()),
                          exchange);
            EXPECT_EQ(port.IsOpen(), &port == &link->port) << port.portName;
        }
        EXPECT_EQ(exchanges, components == 1 ? 2u : 3u);
    }
}
