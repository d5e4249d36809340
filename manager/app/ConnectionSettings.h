// The connection settings of the process and their file lcomfile.ini.
#pragma once

#include <QString>

namespace kvd {

struct ConnectionSettings {
    int portSelection = 0; // COM number - 1; -1 for the Ethernet module ("TCPIP")
    int baudIndex = 2;     // 0 4800, 1 9600, 2 19200, 3 38400
    int dataBitsIndex = 1; // 0 seven, 1 eight
    int parityIndex = 2;   // 0 even, 1 odd, 2 none
    int stopBitsIndex = 1; // 0 one, 1 two
    QString stationText = QStringLiteral("1");
    // A device path typed or handed over instead of a COM number (a pseudo-terminal, a
    // /dev/serial/by-id link). Stored in line 1 of the settings file in place of the number.
    QString portDevice;
    // Where "TCPIP" connects while no module has been found by a search: the Ethernet
    // module's IPv4 address and TCP port. Not kept in lcomfile.ini (its four lines are
    // shared with other programs); KVD_MODULE_ADDRESS=host:port sets it at load.
    QString moduleHost = QString();
    int modulePort = 502;

    // InitComm arguments.
    QString portText() const; // "COM3", "\\.\COM12", "TCPIP" or the device path
    int baud() const;
    int dataBits() const;
    int parity() const; // 0 none, 1 odd, 2 even
    float stopBits() const;

    bool operator==(const ConnectionSettings&) const = default;
};

constexpr const char* kConnectionFile = "lcomfile.ini";

// Reads `folder`/lcomfile.ini, else `fallbackFolder`/lcomfile.ini; keeps `s` where neither
// opens or a line is missing. No range checks. Then the module address from the environment.
void LoadConnectionSettings(ConnectionSettings& s, const QString& folder,
                            const QString& fallbackFolder);
// "host:port" or "host" (port 502). False, leaving host and port alone, for an empty host
// or a port outside 1..65535.
bool parseModuleAddress(const QString& text, QString& host, int& port);
// Takes the module address from KVD_MODULE_ADDRESS when it is set and valid.
void applyModuleAddressFromEnvironment(ConnectionSettings& s);

// Writes the file in `folder`, else in `fallbackFolder`; false when neither is writable.
bool SaveConnectionSettings(const ConnectionSettings& s, const QString& folder,
                            const QString& fallbackFolder);

} // namespace kvd
