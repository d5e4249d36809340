// What the program relies on from a drive: the password, the factory reset and the motor
// behind the command word.
#include "SimSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kvd::sim;
using namespace simtest;

namespace {

constexpr int kStation = 3;

class DriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        Options o;
        o.stations = {drive(kStation)};
        sim = std::make_unique<Simulator>(o);
        ASSERT_TRUE(sim->startPty());
        master = std::make_unique<Master>(sim->devicePath());
    }

    long read(std::uint16_t reg) { return master->read(kStation, reg); }
    long write(std::uint16_t reg, std::uint16_t value) {
        return master->write(kStation, reg, value);
    }
    // Fast ramps so the motor tests settle quickly.
    void quickRamps() {
        ASSERT_EQ(master->writeBlock(kStation, 0x000E, {1, 1}), 0); // 00-14, 00-15: 0.1 s
    }
    bool settlesAt(std::uint16_t reg, long value) {
        return eventually([&] { return read(reg) == value; });
    }

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<Master> master;
};

} // namespace

TEST_F(DriveTest, PasswordIsSetByTwoEqualWritesInARowAndLocksParameterWrites) {
    const struct {
        const char* step;
        std::uint16_t reg; // 13-07 or 00-14
        std::uint16_t value;
        long writeResult;
        long state; // 13-07 read afterwards
    } steps[] = {
        {"first write of a new password", 0x0D07, 1234, 0, 0},
        {"a parameter write in between", 0x000E, 20, 0, 0},
        {"the same value, but not in a row", 0x0D07, 1234, 0, 0},
        {"again, now in a row: set", 0x0D07, 1234, 0, 2},
        {"locked: parameter writes refused", 0x000E, 30, -EMBXSFAIL, 2},
        {"a wrong password changes nothing", 0x0D07, 4321, 0, 2},
        {"still locked", 0x000E, 30, -EMBXSFAIL, 2},
        {"the right password unlocks", 0x0D07, 1234, 0, 0},
        {"parameters writable again", 0x000E, 30, 0, 0},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(write(s.reg, s.value), s.writeResult) << s.step;
        EXPECT_EQ(read(0x0D07), s.state) << s.step;
    }
    EXPECT_EQ(read(0x000E), 30);
}

TEST_F(DriveTest, PasswordLockRefusesTheCommandWordNot) {
    sim->station(kStation).setPassword(99);
    EXPECT_EQ(read(0x0D07), 2);
    EXPECT_EQ(master->writeBlock(kStation, 0x0D03, {1, 1, 1, 1}), -EMBXSFAIL);
    EXPECT_EQ(write(0x2501, 0), 0);
}

TEST_F(DriveTest, ResetRegistersRestoreTheFactoryValuesOfTheirRegion) {
    const struct {
        std::uint16_t reg; // 13-08 or F_25
        std::uint16_t value;
        long upperLimit;    // 00-12 afterwards
        long baseFrequency; // 01-02
    } cases[] = {
        {0x0D08, 1160, 6000, 6000},
        {0x0E19, 1150, 5000, 5000},
        {0x0D08, 1150, 5000, 5000},
        {0x0E19, 1160, 6000, 6000},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(master->writeBlock(kStation, 0x000C, {1234, 100, 5}), 0);
        EXPECT_EQ(write(c.reg, c.value), 0);
        EXPECT_EQ(read(0x000C), c.upperLimit) << c.value;
        EXPECT_EQ(read(0x0102), c.baseFrequency) << c.value;
        EXPECT_EQ(read(0x000D), 0) << "other parameters are back at factory too";
        EXPECT_EQ(read(c.reg), 0);
    }
    EXPECT_EQ(read(0x0D00), kDefaultModelCode) << "the reset leaves the drive's identity";
    EXPECT_EQ(read(0x0900), kStation);
}

TEST_F(DriveTest, RunRampsTheOutputTowardTheCommandAndStopRampsDown) {
    ASSERT_EQ(write(0x000E, 600), 0); // 60 s to the base frequency: a poll sees the ramp
    ASSERT_EQ(write(0x2502, 4000), 0);
    ASSERT_EQ(write(0x2501, 0x0001), 0);
    ASSERT_TRUE(eventually([&] { return read(0x2524) > 0; }));
    EXPECT_LT(read(0x2524), 4000);
    EXPECT_EQ(read(0x2520) & 0x0F, 0x05) << "running, forward, ready";
    EXPECT_EQ(read(0x2523), 4000);

    quickRamps();
    ASSERT_TRUE(settlesAt(0x2524, 4000));
    EXPECT_GT(read(0x2525), 0) << "output voltage";
    EXPECT_GT(read(0x2527), 0) << "output current";
    EXPECT_EQ(read(0x2522) & 0x40, 0x40) << "relay R1 follows the run state";

    ASSERT_EQ(write(0x2501, 0x0003), 0); // reverse
    ASSERT_TRUE(eventually([&] { return read(0x2520) & 0x02; }));
    EXPECT_TRUE(settlesAt(0x2524, 4000));

    ASSERT_EQ(write(0x2501, 0x0002), 0); // stop, reverse still selected
    EXPECT_TRUE(settlesAt(0x2524, 0));
    EXPECT_TRUE(settlesAt(0x2520, 0x06)) << "stopped, reverse, ready";
    EXPECT_EQ(read(0x2525), 0);
}

TEST_F(DriveTest, FrequencyCommandIsBoundedByTheLimits) {
    ASSERT_EQ(master->writeBlock(kStation, 0x000C, {5000, 500}), 0); // 00-12, 00-13
    const struct {
        std::uint16_t command;
        long setFrequency;
    } cases[] = {{9000, 5000}, {100, 500}, {2500, 2500}};
    for (const auto& c : cases) {
        ASSERT_EQ(write(0x2502, c.command), 0);
        EXPECT_EQ(read(0x2502), c.command);
        EXPECT_EQ(read(0x2523), c.setFrequency) << c.command;
    }
}

TEST_F(DriveTest, TripStopsTheDriveAndFaultResetClearsIt) {
    quickRamps();
    ASSERT_EQ(write(0x2502, 3000), 0);
    ASSERT_EQ(write(0x2501, 0x0001), 0);
    ASSERT_TRUE(settlesAt(0x2524, 3000));

    const struct {
        const char* how;
        std::function<void()> trip;
        long code;
    } cases[] = {
        {"trip from outside", [&] { sim->station(kStation).trip(7); }, 7},
        {"Abnormal in the command word", [&] { EXPECT_EQ(write(0x2501, 0x0005), 0); }, 14},
    };
    for (const auto& c : cases) {
        c.trip();
        EXPECT_EQ(read(0x2520) & 0x0F, 0x08) << c.how << ": fault, not ready, not running";
        EXPECT_EQ(read(0x2521), c.code) << c.how;
        EXPECT_EQ(read(0x2524), 0) << c.how;
        EXPECT_EQ(read(0x0D02), c.code) << c.how << ": 13-02 keeps the last fault";
        EXPECT_EQ(read(0x2501) & 0x01, 0) << c.how << ": the run command is dropped";

        ASSERT_EQ(write(0x2501, 0x0008), 0);
        EXPECT_EQ(read(0x2520) & 0x0F, 0x04) << c.how << ": ready again, still stopped";
        EXPECT_EQ(read(0x2521), 0);
        EXPECT_EQ(read(0x2501), 0) << "fault reset is a command, not a state";
        ASSERT_EQ(write(0x2501, 0x0001), 0);
        ASSERT_TRUE(settlesAt(0x2524, 3000)) << c.how;
    }
}

TEST_F(DriveTest, JogRunsAtTheJogFrequency) {
    const struct {
        std::uint16_t command;
        long status; // low four bits while jogging
    } cases[] = {{0x0010, 0x05}, {0x0020, 0x07}};
    for (const auto& c : cases) {
        ASSERT_EQ(write(0x2501, c.command), 0);
        EXPECT_TRUE(settlesAt(0x2524, 200)) << "00-18 is 2.00 Hz";
        EXPECT_EQ(read(0x2520) & 0x0F, c.status);
        ASSERT_EQ(write(0x2501, 0), 0);
        EXPECT_TRUE(settlesAt(0x2524, 0));
    }
}
