// The port list of the connection dialog: "<port> : <description>" per serial port, COM
// ports first by number, then ports without a COM number, then "TCPIP".
#pragma once

#include "ConnectionSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kvd {

constexpr const char* kTcpPortName = "TCPIP";

struct SerialPortDescription {
    QString device;      // "/dev/ttyUSB0"
    QString description; // "USB Serial Port"; empty when the system knows none
};

// Entries for the given ports, sorted, "TCPIP" appended. A port with a COM number shows as
// "COM<n>", any other by its device path.
QStringList portEntries(const QList<SerialPortDescription>& ports);
// The entries for the serial ports present now.
QStringList availablePortEntries();

// The port of an entry: its text before " : ", blanks trimmed ("COM3", "TCPIP", a path).
QString portOfEntry(const QString& entry);
// The port text the settings select: the device path when one was typed, "TCPIP" for -1,
// else "COM<selection + 1>".
QString savedPortText(const ConnectionSettings& s);
// Index of the entry that names the settings' port, or -1. A device path also matches the
// COM entry for the same device.
int findPortEntry(const QStringList& entries, const ConnectionSettings& s);

} // namespace kvd
