// Frames on the pseudo-terminal, checked by libmodbus and by raw bytes.
#include "SimSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kvd::sim;
using namespace simtest;

namespace {

// Three drives on one line: a default one, an older high-voltage one and one of another
// family.
Options lineOptions() {
    Options o;
    o.stations = {
        drive(1),
        drive(2, 401, 1000),
        drive(5, kDefaultModelCode, kDefaultVersion, 0x0200),
    };
    return o;
}

class LineTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim = std::make_unique<Simulator>(lineOptions());
        std::string error;
        ASSERT_TRUE(sim->startPty({}, &error)) << error;
        master = std::make_unique<Master>(sim->devicePath());
    }

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<Master> master;
};

} // namespace

TEST_F(LineTest, EachStationAnswersWithItsOwnIdentityAndModelValues) {
    const struct {
        int station;
        std::uint16_t reg;
        long value;
    } cases[] = {
        {1, 0x0D00, 1205},   {2, 0x0D00, 401},    {1, 0x0D01, 1100}, {2, 0x0D01, 1000},
        {1, 0x252F, 0x0100}, {5, 0x252F, 0x0200}, {2, 0x0900, 2}, // 09-00 is the address
        {1, 0x0101, 2200},   {2, 0x0101, 3800}, // 01-01 follows the model's voltage class
        {1, 0x000C, 5000},                      // 00-12 for 50 Hz
    };
    for (const auto& c : cases)
        EXPECT_EQ(master->read(c.station, c.reg), c.value)
            << "station " << c.station << " register " << std::hex << c.reg;
}

TEST_F(LineTest, WritesAreStoredAndReadBack) {
    EXPECT_EQ(master->write(1, 0x000E, 55), 0);
    EXPECT_EQ(master->read(1, 0x000E), 55);
    EXPECT_EQ(master->read(2, 0x000E), 100) << "another station keeps its own value";

    // The largest block each way: 23 registers written (group 10), 30 read (group F_).
    std::vector<std::uint16_t> values(23);
    for (std::size_t k = 0; k < values.size(); ++k)
        values[k] = static_cast<std::uint16_t>(k + 1);
    EXPECT_EQ(master->writeBlock(1, 0x0A00, values), 0);
    std::vector<std::uint16_t> back;
    EXPECT_EQ(master->readBlock(1, 0x0A00, 23, back), 0);
    EXPECT_EQ(back, values);
    EXPECT_EQ(master->readBlock(1, 0x0E01, 30, back), 0);
}

TEST_F(LineTest, RequestsADriveRefusesGetExceptionReplies) {
    using Request = std::function<long(Master&)>;
    const struct {
        const char* what;
        Request request;
        long result;
    } cases[] = {
        {"31 registers",
         [](Master& m) {
             std::vector<std::uint16_t> v;
             return m.readBlock(1, 0x0E01, 31, v);
         },
         -EMBXILVAL},
        {"read of a gap (03-05)", [](Master& m) { return m.read(1, 0x0305); }, -EMBXILADD},
        {"read between the command and status blocks", [](Master& m) { return m.read(1, 0x2503); },
         -EMBXILADD},
        {"02-04 on a drive older than 1.1", [](Master& m) { return m.read(2, 0x0204); },
         -EMBXILADD},
        {"02-04 on a 1.1 drive", [](Master& m) { return m.read(1, 0x0204); }, 2200},
        {"write of read-only 00-08", [](Master& m) { return m.write(1, 0x0008, 1); }, -EMBXILADD},
        {"write of the status word", [](Master& m) { return m.write(1, 0x2520, 1); }, -EMBXILADD},
        {"13-08 with a value it does not know", [](Master& m) { return m.write(1, 0x0D08, 5); },
         -EMBXILVAL},
        {"0x10 with 24 registers",
         [](Master& m) { return m.writeBlock(1, 0x0A00, std::vector<std::uint16_t>(24)); },
         -EMBXILVAL},
        {"0x10 over a read-only register (00-07, 00-08)",
         [](Master& m) {
             return m.writeBlock(1, 0x0007, {1, 1});
         },
         -EMBXILADD},
        {"function 0x04",
         [](Master& m) {
             std::uint16_t w;
             return modbus_read_input_registers(m.ctx(1), 0, 1, &w) == 1
                        ? 0L
                        : -static_cast<long>(errno);
         },
         -EMBXILFUN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.request(*master), c.result) << c.what;
    EXPECT_EQ(master->read(1, 0x0007), 0) << "a refused block writes nothing";
}

TEST_F(LineTest, FramesForOtherStationsOrWithABadCrcGetNoAnswer) {
    RawPeer peer = RawPeer::serial(sim->devicePath());
    Frame badCrc = kvd::rtu::readRequest(1, 0x0D00, 1);
    badCrc.back() ^= 0x55;
    peer.send(badCrc);
    peer.send(kvd::rtu::readRequest(9, 0x0D00, 1)); // nobody is station 9
    EXPECT_TRUE(peer.receive(1, 300ms).empty());

    // The line recovers: the next good request gets exactly its own reply.
    const Frame reply = peer.exchange(kvd::rtu::readRequest(1, 0x0D00, 1), 7);
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_EQ(kvd::rtu::replyWord(reply, 0), 1205);
    EXPECT_EQ(sim->station(1).requestCount(), 1u) << "frames with a bad CRC are not counted";
}

TEST_F(LineTest, BroadcastWritesAreTakenByEveryStationAndAnsweredByNone) {
    RawPeer peer = RawPeer::serial(sim->devicePath());
    peer.send(kvd::rtu::writeSingleRequest(0, 0x000E, 77));
    const std::uint16_t block[] = {5, 6};
    peer.send(kvd::rtu::writeMultipleRequest(0, 0x000F, block));
    // Whatever comes back now must be the reply of this read alone: a broadcast answer
    // would come first.
    const Frame reply = peer.exchange(kvd::rtu::readRequest(2, 0x000E, 3), 11);
    ASSERT_EQ(reply.size(), 11u);
    EXPECT_EQ(reply[0], 2);
    EXPECT_EQ(kvd::rtu::checkReplyCrc(reply.data(), reply.size()), 1);
    for (int s : {1, 2, 5}) {
        EXPECT_EQ(sim->station(s).readRegister(0x000E), 77) << s;
        EXPECT_EQ(sim->station(s).readRegister(0x0010), 6) << s;
        EXPECT_EQ(sim->station(s).broadcastCount(), 2u) << s;
    }
}

TEST_F(LineTest, LineFaultsShowAsTheMasterSeesThem) {
    master->timeout(300ms);
    const struct {
        FaultMode mode;
        long result;
    } cases[] = {
        {FaultMode::Silent, -ETIMEDOUT},
        {FaultMode::BadCrc, -EMBBADCRC},
        {FaultMode::Exception, -EMBXSFAIL},
        {FaultMode::None, 1205},
    };
    for (const auto& c : cases) {
        sim->station(1).setFault(c.mode);
        EXPECT_EQ(master->read(1, 0x0D00), c.result) << static_cast<int>(c.mode);
        EXPECT_EQ(master->read(2, 0x0D00), 401) << "the other station is unaffected";
    }

    sim->station(1).setFault(FaultMode::Exception);
    EXPECT_EQ(master->write(1, 0x000E, 42), -EMBXSFAIL);
    sim->station(1).setFault(FaultMode::None);
    EXPECT_EQ(master->read(1, 0x000E), 100) << "a refused write is not carried out";
}

TEST_F(LineTest, WrongFunctionByteComesWithAValidCrc) {
    sim->station(1).setFault(FaultMode::BadFunction);
    RawPeer peer = RawPeer::serial(sim->devicePath());
    const Frame reply = peer.exchange(kvd::rtu::readRequest(1, 0x0D00, 1), 7);
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_NE(reply[1], kvd::rtu::kReadHolding);
    EXPECT_EQ(kvd::rtu::checkReplyCrc(reply.data(), reply.size()), 1);
}

TEST_F(LineTest, SilentAfterAnswersTheGivenNumberThenStops) {
    master->timeout(300ms);
    sim->station(1).setSilentAfter(2);
    EXPECT_EQ(master->read(1, 0x0D00), 1205);
    EXPECT_EQ(master->read(1, 0x0D00), 1205);
    EXPECT_EQ(master->read(1, 0x0D00), -ETIMEDOUT);
    EXPECT_EQ(sim->station(1).requestCount(), 3u) << "silent requests still count";
}

TEST_F(LineTest, DelayedAnswerArrivesLate) {
    sim->station(1).setDelay(200);
    RawPeer peer = RawPeer::serial(sim->devicePath());
    const auto start = Clock::now();
    const Frame reply = peer.exchange(kvd::rtu::readRequest(1, 0x0D00, 1), 7);
    EXPECT_GE(Clock::now() - start, 200ms);
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_EQ(kvd::rtu::replyWord(reply, 0), 1205);
}

TEST(LineSpeed, RepliesTakeTheirWireTime) {
    Options o;
    o.baud = 9600;
    Simulator sim(o);
    ASSERT_TRUE(sim.startPty());
    RawPeer peer = RawPeer::serial(sim.devicePath());
    const auto start = Clock::now();
    const Frame reply = peer.exchange(kvd::rtu::readRequest(1, 0x0E01, 30), 65);
    ASSERT_EQ(reply.size(), 65u);
    // 8 request bytes and 65 reply bytes of 11 bits each at 9600 baud.
    EXPECT_GE(Clock::now() - start, std::chrono::microseconds((8 + 65) * 11 * 1'000'000LL / 9600));
}
