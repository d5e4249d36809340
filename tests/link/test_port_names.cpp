#include "link/PortNames.h"

#include <gtest/gtest.h>

using namespace kvd;

TEST(PortNames, ComNumbersMapToDevicesAndBack) {
    const struct {
        const char* port;
        const char* device;
        int com;
    } cases[] = {
        {"COM1", "/dev/ttyS0", 1},
        {"COM3", "/dev/ttyS2", 3},
        {"\\\\.\\COM12", "/dev/ttyS11", 12},
        {"COM33", "/dev/ttyUSB0", 33},
        {"COM40", "/dev/ttyUSB7", 40},
        {"COM65", "/dev/ttyACM0", 65},
        {"COM97", "", 0},
        {"COM0", "", 0},
        {"COM", "", 0},
        {"COMx", "", 0},
        {"COM99999999999999", "", 0},
        {"TCPIP", "", 0},
        {"/dev/pts/7", "/dev/pts/7", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(portDevice(c.port), c.device) << c.port;
        if (c.com) {
            EXPECT_EQ(comNumberForDevice(c.device), c.com) << c.device;
        }
    }
    EXPECT_EQ(comPortText(3), "COM3");
    EXPECT_EQ(comPortText(10), "\\\\.\\COM10");
    EXPECT_EQ(comNumberForDevice("/dev/ttyUSB32"), 0);
}
