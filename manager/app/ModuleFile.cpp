#include "ModuleFile.h"

#include "TextLines.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kvd {
namespace {

bool writeTo(const QString& path, const QByteArray& text) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    f.write(text);
    return f.commit();
}

// The file is small; a damaged one of any size must not exhaust memory.
constexpr qint64 kMaxModuleFile = 256 * 1024;

} // namespace

bool writeModuleFile(const QString& folder, const QString& fallbackFolder, const QString& portEntry,
                     const QString& lastMac, const std::vector<ModuleEntry>& modules) {
    QString text = portEntry + u'\n';
    if (portEntry == u"TCPIP")
        text += lastMac + u'\n';
    if (!modules.empty()) {
        text += QString::number(modules.size()) + u'\n';
        for (const ModuleEntry& m : modules) {
            text += QString::fromStdString(m.mac) + u'\n';
            // A single blank keeps the line when the module has no name.
            text += (m.name.empty() ? QStringLiteral(" ") : QString::fromStdString(m.name)) + u'\n';
        }
    }
    const QByteArray bytes = text.toUtf8();
    if (writeTo(QDir(folder).filePath(kModuleFile), bytes))
        return true;
    return !fallbackFolder.isEmpty() && writeTo(QDir(fallbackFolder).filePath(kModuleFile), bytes);
}

std::optional<ModuleFile> readModuleFile(const QString& folder, const QString& fallbackFolder) {
    QFile f(QDir(folder).filePath(kModuleFile));
    if (!f.open(QIODevice::ReadOnly)) {
        if (fallbackFolder.isEmpty())
            return std::nullopt;
        f.setFileName(QDir(fallbackFolder).filePath(kModuleFile));
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
    }
    if (f.size() <= 3)
        return std::nullopt;
    f.close();
    const auto lines = readTextLines(f.fileName(), kMaxModuleFile);
    if (!lines || lines->isEmpty())
        return std::nullopt;
    const QStringList& l = *lines;
    ModuleFile file;
    file.portEntry = l[0];
    qsizetype next = 1;
    if (file.portEntry == u"TCPIP")
        file.lastMac = l.value(next++);
    // The count cannot promise more pairs than the file holds.
    const int count = leadingInt(l.value(next++));
    for (int i = 0; i < count && next < l.size(); ++i) {
        const QString mac = l[next++];
        const QString name = l.value(next++).trimmed();
        file.names.append({mac, name});
    }
    return file;
}

void nameModules(std::vector<ModuleEntry>& modules, const ModuleFile& file) {
    for (ModuleEntry& m : modules)
        for (const auto& [mac, name] : file.names)
            if (mac.toStdString() == m.mac)
                m.name = name.toStdString();
}

} // namespace kvd
