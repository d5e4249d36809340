#include "link/Exchange.h"
#include "link/SerialLink.h"
#include "support/Responder.h"

#include <gtest/gtest.h>

#include <thread>

using namespace kvd;
using kvdtest::Frame;
using kvdtest::Responder;

namespace {

// Opens a link to the responder whichever transport it is on.
std::unique_ptr<SerialLink> openLink(Responder& r, int timeoutMs = 300) {
    auto link = std::make_unique<SerialLink>();
    link->setReplyTimeout(std::chrono::milliseconds(timeoutMs));
    if (r.port() == "TCPIP")
        link->setTcpPeer("127.0.0.1", r.tcpPort());
    EXPECT_NE(link->InitComm(r.port(), 19200, 8, 0, 2.0f, 2048, 2048), 0) << link->lastError();
    return link;
}

class LinkOnBoth : public ::testing::TestWithParam<Responder::Kind> {};

} // namespace

TEST_P(LinkOnBoth, SendsExactRequestsAndWaitsForExactReplies) {
    Responder r(GetParam());
    auto link = openLink(r);

    const auto read = rtu::readRequest(1, 0x0100, 20);
    std::vector<std::uint8_t> reply(45);
    ASSERT_EQ(link->CommandSend(read.data(), 8, reply.data(), 45), LinkOk);
    EXPECT_EQ(link->receivedCount(), 45);
    EXPECT_EQ(rtu::replyWord(reply, 19), 0x100 + 19);

    std::vector<std::uint16_t> values(12, 0x1234);
    EXPECT_EQ(writeRegisters(*link, 1, 0x0300, values), LinkOk);

    ASSERT_TRUE(r.waitRequests(2));
    const auto reqs = r.requests();
    EXPECT_EQ(reqs[0].size(), 8u);
    EXPECT_EQ(reqs[1].size(), 33u);
    EXPECT_EQ(reqs[1], rtu::writeMultipleRequest(1, 0x0300, values));
}

TEST_P(LinkOnBoth, MapsFaultyRepliesToTheirResults) {
    const struct {
        const char* what;
        std::function<std::optional<Frame>(const Frame&)> answer;
        LinkError expected; // after the function-byte check
    } cases[] = {
        {"good", kvdtest::driveAnswer, LinkOk},
        {"silent", [](const Frame&) { return std::nullopt; }, LinkTimeout},
        {"short",
         [](const Frame& q) {
             Frame f = kvdtest::readReply(q[0], 2);
             f.resize(6);
             return std::optional(f);
         },
         LinkTimeout},
        {"bad crc",
         [](const Frame& q) {
             Frame f = kvdtest::readReply(q[0], 2);
             f.back() ^= 0x55;
             return std::optional(f);
         },
         LinkCrcError},
        {"too long", // one word too many: the first 9 bytes end in no CRC
         [](const Frame& q) { return std::optional(kvdtest::readReply(q[0], 3)); }, LinkCrcError},
        {"wrong function",
         [](const Frame& q) {
             Frame f = kvdtest::readReply(q[0], 2);
             f[1] = 0x04;
             f.resize(f.size() - 2);
             rtu::appendCrc(f);
             return std::optional(f);
         },
         LinkCommError},
        {"exception",
         [](const Frame& q) {
             Frame f{q[0], 0x83, 0x02};
             rtu::appendCrc(f);
             return std::optional(f);
         },
         LinkCommError},
    };
    Responder r(GetParam());
    auto link = openLink(r, 200);
    for (const auto& c : cases) {
        r.setHandler(c.answer);
        std::vector<std::uint16_t> words;
        EXPECT_EQ(readRegisters(*link, 1, 0x0D00, 2, words), c.expected) << c.what;
    }
    // After all that debris the next exchange is clean again.
    r.setHandler(kvdtest::driveAnswer);
    std::vector<std::uint16_t> words;
    EXPECT_EQ(readRegisters(*link, 1, 0x0D00, 2, words), LinkOk);
    EXPECT_EQ(words, (std::vector<std::uint16_t>{0x100, 0x101}));
}

TEST_P(LinkOnBoth, ExceptionReplyEndsTheExchangeWithoutWaitingForTheTimeOut) {
    Responder r(GetParam(), [](const Frame& q) {
        Frame f{q[0], 0x83, 0x02};
        rtu::appendCrc(f);
        return std::optional(f);
    });
    // A time-out far beyond any scheduling delay: only a wait for it could come near it.
    auto link = openLink(r, 20000);
    const auto start = Clock::now();
    std::vector<std::uint16_t> words;
    EXPECT_EQ(readRegisters(*link, 1, 0x0D00, 2, words), LinkCommError);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(link->receivedCount(), 5);
}

TEST_P(LinkOnBoth, BroadcastIsSentAndNotAnswered) {
    Responder r(GetParam());
    auto link = openLink(r);
    broadcastWrite(*link, 0x2501, 0x0001);
    ASSERT_TRUE(r.waitRequests(1));
    EXPECT_EQ(r.requests()[0], rtu::writeSingleRequest(0, 0x2501, 0x0001));
    EXPECT_EQ(writeRegister(*link, 2, 0x2502, 5000), LinkOk);
}

TEST_P(LinkOnBoth, VanishingDeviceGivesCommunicationErrorNotAHang) {
    Responder r(GetParam(), [](const Frame&) { return std::nullopt; });
    // A long time-out: the result, not the clock, tells a vanished device from a silent one.
    auto link = openLink(r, 20000);
    std::thread pull([&] {
        r.waitRequests(1);
        r.vanish();
    });
    std::vector<std::uint16_t> words;
    EXPECT_EQ(readRegisters(*link, 1, 0, 1, words), LinkCommError);
    pull.join();
    EXPECT_EQ(readRegisters(*link, 1, 0, 1, words), LinkCommError); // and stays failed
}

TEST_P(LinkOnBoth, ExchangesFromSeveralThreadsNeverInterleave) {
    Responder r(GetParam());
    auto link = openLink(r);
    std::atomic<int> bad{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                const int count = 1 + (t * 7 + i) % 30;
                std::vector<std::uint16_t> words;
                if (readRegisters(*link, static_cast<std::uint8_t>(t + 1), 0, count, words) !=
                        LinkOk ||
                    words.size() != static_cast<std::size_t>(count) ||
                    words.back() != 0x100 + count - 1)
                    ++bad;
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(bad, 0);
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkOnBoth,
                         ::testing::Values(Responder::Kind::Pty, Responder::Kind::Tcp),
                         [](const auto& info) {
                             return info.param == Responder::Kind::Pty ? "Pty" : "Tcp";
                         });

TEST(SerialLink, FailedOpenLeavesNothingOpen) {
    SerialLink link;
    const char* ports[] = {"COM97", "/dev/does-not-exist", "/dev/null", "TCPIP", ""};
    for (const char* p : ports) {
        EXPECT_EQ(link.InitComm(p, 19200, 8, 0, 2.0f, 2048, 2048), 0) << p;
        EXPECT_FALSE(link.isOpen()) << p;
    }
    link.setTcpPeer("127.0.0.1", 1); // nobody listens there
    EXPECT_EQ(link.InitComm("TCPIP", 19200, 8, 0, 2.0f, 2048, 2048), 0);
    std::uint8_t reply[8];
    const auto req = rtu::readRequest(1, 0, 1);
    EXPECT_EQ(link.CommandSend(req.data(), 8, reply, 7), LinkCommError);
}

TEST(SerialLink, ReadPurgesOnLargeRequestsAndChecksCrc) {
    Responder r(Responder::Kind::Pty);
    auto link = openLink(r);
    std::uint8_t buf[200];
    EXPECT_EQ(link->Read(buf, 161), 0);
    EXPECT_EQ(link->Read(buf, 10), 0); // nothing arrived
    const Frame ok{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};
    EXPECT_EQ(link->CheckReplyCrc(ok.data(), 8), 1);
    EXPECT_EQ(link->CheckReplyCrc(ok.data(), 1), 0);
}
