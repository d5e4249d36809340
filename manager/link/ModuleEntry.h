// One Ethernet module on the local network, as the module search lists it: the connection
// dialog keeps a list of them and "TCPIP" connects to the chosen one.
#pragma once

#include <string>

namespace kvd {

struct ModuleEntry {
    std::string mac;  // "00-20-4a-14-01-18"
    std::string ip;   // dotted IPv4 text of the module
    std::string name; // device name; empty until named
    // Where the link connects for "TCPIP".
    std::string host;
    int port = 0;

    bool operator==(const ModuleEntry&) const = default;
};

} // namespace kvd
