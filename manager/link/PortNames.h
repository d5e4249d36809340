// COM numbers as settings and hand-over files carry them, and the Linux devices behind them:
//   COM1..COM32   -> /dev/ttyS0..31     (on-board ports)
//   COM33..COM64  -> /dev/ttyUSB0..31   (USB adapters)
//   COM65..COM96  -> /dev/ttyACM0..31   (USB CDC devices)
// Any text that starts with "/" is a device path and used as it stands (a pseudo-terminal,
// a /dev/serial/by-id link).
#pragma once

#include <string>

namespace kvd {

// Device for a port text ("COM3", "\\.\COM12", "/dev/pts/4"); empty when it names none.
std::string portDevice(const std::string& portText);
// COM number of a device (1-based), 0 when the device has none.
int comNumberForDevice(const std::string& device);
// The port text the program passes to InitComm for a COM number: "COM3", "\\.\COM12".
std::string comPortText(int number);
bool isDevicePath(const std::string& portText);

} // namespace kvd
