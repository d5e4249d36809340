#include "ConnectionSettings.h"

#include "TextLines.h"
#include "link/PortNames.h"
#include "link/SerialLink.h"

#include <QDir>
#include <QSaveFile>

namespace kvd {

QString ConnectionSettings::portText() const {
    if (!portDevice.isEmpty())
        return portDevice;
    if (portSelection == -1)
        return QStringLiteral("TCPIP");
    return QString::fromStdString(comPortText(portSelection + 1));
}

int ConnectionSettings::baud() const {
    static constexpr int kBauds[] = {4800, 9600, 19200, 38400};
    return baudIndex >= 0 && baudIndex < 4 ? kBauds[baudIndex] : 19200;
}

int ConnectionSettings::dataBits() const {
    return dataBitsIndex == 0 ? 7 : 8;
}

int ConnectionSettings::parity() const {
    // Radio order is even, odd, none; the link counts none, odd, even.
    return parityIndex == 0 ? 2 : parityIndex == 1 ? 1 : 0;
}

float ConnectionSettings::stopBits() const {
    return stopBitsIndex == 0 ? 1.0f : 2.0f;
}

void LoadConnectionSettings(ConnectionSettings& s, const QString& folder,
                            const QString& fallbackFolder) {
    auto lines = readTextLines(QDir(folder).filePath(kConnectionFile));
    if (!lines && !fallbackFolder.isEmpty())
        lines = readTextLines(QDir(fallbackFolder).filePath(kConnectionFile));
    applyModuleAddressFromEnvironment(s);
    if (!lines)
        return;
    const QStringList& l = *lines;
    if (l.size() > 0) {
        if (isDevicePath(l[0].toStdString())) {
            s.portDevice = l[0];
            s.portSelection = comNumberForDevice(l[0].toStdString()) - 1;
        } else {
            s.portDevice.clear();
            s.portSelection = leadingInt(l[0]);
        }
    }
    if (l.size() > 1)
        s.baudIndex = leadingInt(l[1]);
    if (l.size() > 2 && l[2].size() == 3) {
        const int v = leadingInt(l[2]);
        s.dataBitsIndex = v / 100;
        s.parityIndex = v / 10 % 10;
        s.stopBitsIndex = v % 10;
    }
    if (l.size() > 3)
        s.stationText = l[3];
}

bool parseModuleAddress(const QString& text, QString& host, int& port) {
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(u':');
    const QString h = colon < 0 ? t : t.left(colon).trimmed();
    int p = SerialLink::kDefaultModulePort;
    if (colon >= 0) {
        bool ok = false;
        p = t.mid(colon + 1).trimmed().toInt(&ok);
        if (!ok || p < 1 || p > 65535)
            return false;
    }
    if (h.isEmpty())
        return false;
    host = h;
    port = p;
    return true;
}

void applyModuleAddressFromEnvironment(ConnectionSettings& s) {
    const QString v = qEnvironmentVariable("KVD_MODULE_ADDRESS");
    if (!v.isEmpty())
        parseModuleAddress(v, s.moduleHost, s.modulePort);
}

static bool writeSettings(const ConnectionSettings& s, const QString& path) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QString line1 = s.portDevice.isEmpty() ? QString::number(s.portSelection) : s.portDevice;
    const QString text = line1 + u'\n' + QString::number(s.baudIndex) + u'\n' +
                         QString::number(s.dataBitsIndex) + QString::number(s.parityIndex) +
                         QString::number(s.stopBitsIndex) + u'\n' + s.stationText + u'\n';
    f.write(text.toUtf8());
    return f.commit();
}

bool SaveConnectionSettings(const ConnectionSettings& s, const QString& folder,
                            const QString& fallbackFolder) {
    if (writeSettings(s, QDir(folder).filePath(kConnectionFile)))
        return true;
    return !fallbackFolder.isEmpty() &&
           writeSettings(s, QDir(fallbackFolder).filePath(kConnectionFile));
}

} // namespace kvd
