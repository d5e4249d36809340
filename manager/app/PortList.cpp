#include "PortList.h"

#include "link/PortNames.h"

#include <QSerialPortInfo>

#include <algorithm>

namespace kvd {
namespace {

struct Row {
    int com; // 0: none
    QString port;
    QString entry;
};

// The device a port text names, empty when it names none; lets "COM33" and "/dev/ttyUSB0"
// compare equal.
QString deviceOf(const QString& port) {
    return QString::fromStdString(portDevice(port.toStdString()));
}

} // namespace

QStringList portEntries(const QList<SerialPortDescription>& ports) {
    std::vector<Row> rows;
    for (const SerialPortDescription& p : ports) {
        const int com = comNumberForDevice(p.device.toStdString());
        const QString port = com > 0 ? QStringLiteral("COM%1").arg(com) : p.device;
        QString description = p.description.trimmed();
        if (description.isEmpty())
            description = p.device.section(u'/', -1);
        rows.push_back({com, port, port + QStringLiteral(" : ") + description});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if ((a.com > 0) != (b.com > 0))
            return a.com > 0;
        return a.com > 0 ? a.com < b.com : a.port < b.port;
    });
    QStringList entries;
    for (const Row& r : rows)
        entries.append(r.entry);
    entries.append(QString::fromLatin1(kTcpPortName));
    return entries;
}

QStringList availablePortEntries() {
    QList<SerialPortDescription> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.append({info.systemLocation(), info.description()});
    return portEntries(ports);
}

QString portOfEntry(const QString& entry) {
    // " : " with its blanks: a device path may itself hold a colon (/dev/serial/by-path).
    const qsizetype sep = entry.indexOf(QStringLiteral(" : "));
    return (sep < 0 ? entry : entry.left(sep)).trimmed();
}

QString savedPortText(const ConnectionSettings& s) {
    if (!s.portDevice.isEmpty())
        return s.portDevice;
    if (s.portSelection == -1)
        return QString::fromLatin1(kTcpPortName);
    return QStringLiteral("COM%1").arg(s.portSelection + 1);
}

int findPortEntry(const QStringList& entries, const ConnectionSettings& s) {
    const QString saved = savedPortText(s);
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (portOfEntry(entries[i]) == saved)
            return static_cast<int>(i);
    const QString device = deviceOf(saved);
    if (device.isEmpty())
        return -1;
    for (qsizetype i = 0; i < entries.size(); ++i)
        if (deviceOf(portOfEntry(entries[i])) == device)
            return static_cast<int>(i);
    return -1;
}

} // namespace kvd
