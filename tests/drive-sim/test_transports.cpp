// RTU over TCP, the module search on UDP and the pseudo-terminal's symbolic link. Loopback
// only.
#include "SimSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace kvd::sim;
using namespace simtest;
namespace fs = std::filesystem;

namespace {

Options twoStations() {
    Options o;
    o.stations = {drive(1), drive(4, 402)};
    o.mac = {0x02, 0x00, 0x00, 0xaa, 0xbb, 0xcc};
    return o;
}

fs::path scratchDir() {
    char pattern[] = "/tmp/kvd-sim-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr)
        throw std::runtime_error("mkdtemp");
    return dir;
}

} // namespace

TEST(Tcp, CarriesRawFramesBackToBack) {
    Simulator sim(twoStations());
    std::string error;
    ASSERT_TRUE(sim.startTcp("127.0.0.1", 0, false, &error)) << error;
    ASSERT_GT(sim.tcpPort(), 0);
    RawPeer peer = RawPeer::tcp(sim.tcpPort());

    // Two requests in one segment are cut by their lengths and answered in order.
    Frame both = kvd::rtu::readRequest(1, 0x0D00, 1);
    const Frame second = kvd::rtu::writeSingleRequest(4, 0x000E, 33);
    both.insert(both.end(), second.begin(), second.end());
    peer.send(both);
    const Frame replies = peer.receive(7 + 8);
    ASSERT_EQ(replies.size(), 15u);
    EXPECT_EQ(kvd::rtu::replyWord(replies, 0), 1205);
    EXPECT_EQ(Frame(replies.begin() + 7, replies.end()), second) << "a write is echoed";
    EXPECT_EQ(sim.station(4).readRegister(0x000E), 33);

    const Frame refused = peer.exchange(kvd::rtu::readRequest(4, 0x0305, 1), 5);
    EXPECT_TRUE(kvd::rtu::isExceptionReply(refused.data(), refused.size()));
}

TEST(Tcp, ListensOnLoopbackOnlyUnlessAllowed) {
    Simulator sim(twoStations());
    std::string error;
    EXPECT_FALSE(sim.startTcp("0.0.0.0", 0, false, &error));
    EXPECT_FALSE(sim.startTcp("example.org", 0, true, &error)) << "names are not looked up";
    EXPECT_EQ(sim.tcpPort(), 0);
}

TEST(Udp, AnswersTheModuleSearchWithItsMac) {
    Simulator sim(twoStations());
    std::string error;
    EXPECT_FALSE(sim.startUdp("0.0.0.0", 0, &error)) << "never on the host's network";
    ASSERT_TRUE(sim.startUdp("127.0.0.1", 0, &error)) << error;

    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(sim.udpPort()));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::uint8_t other[] = {0x00, 0x00, 0x00, 0xF5};
    const std::uint8_t query[] = {0x00, 0x00, 0x00, 0xF6};
    for (const auto* d : {other, query})
        sendto(fd, d, 4, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);

    std::uint8_t answer[1024];
    const ssize_t n = recv(fd, answer, sizeof answer, 0);
    ::close(fd);
    ASSERT_EQ(n, 30);
    EXPECT_EQ(answer[3], 0xF7);
    EXPECT_EQ(Frame(answer + 24, answer + 30), Frame({0x02, 0x00, 0x00, 0xaa, 0xbb, 0xcc}));
}

TEST(Pty, SymbolicLinkLivesAsLongAsTheSimulator) {
    const fs::path dir = scratchDir();
    const fs::path link = dir / "drive";
    {
        Simulator sim(twoStations());
        std::string error;
        ASSERT_TRUE(sim.startPty(link.string(), &error)) << error;
        EXPECT_EQ(fs::read_symlink(link), fs::path(sim.devicePath()));
        // The link works as a device name for a master.
        RawPeer peer = RawPeer::serial(link.string());
        EXPECT_EQ(peer.exchange(kvd::rtu::readRequest(4, 0x0D00, 1), 7).size(), 7u);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));

    // A file that is not a link is never replaced.
    std::ofstream(link) << "keep";
    Simulator sim(twoStations());
    std::string error;
    EXPECT_FALSE(sim.startPty(link.string(), &error));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(link)));
    fs::remove_all(dir);
}
