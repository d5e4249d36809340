// sg2comfile.ini: the port entry of the last successful connection, the Ethernet module it
// went through and the names given to the modules found, so the next search can name them.
#pragma once

#include "link/ModuleEntry.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

namespace kvd {

constexpr const char* kModuleFile = "sg2comfile.ini";

struct ModuleFile {
    QString portEntry; // line 1: "COM3 : USB Serial Port", "TCPIP" or a device path
    QString lastMac;   // the module used, when the port entry is "TCPIP"
    QList<QPair<QString, QString>> names; // MAC -> device name (empty when it has none)
};

// Writes `folder`/sg2comfile.ini, else `fallbackFolder`/sg2comfile.ini. False when neither
// is writable.
bool writeModuleFile(const QString& folder, const QString& fallbackFolder, const QString& portEntry,
                     const QString& lastMac, const std::vector<ModuleEntry>& modules);

// Reads the file from `folder`, else from `fallbackFolder`. Nothing when neither opens or
// the file is three bytes or less (an empty file left by a failed write).
std::optional<ModuleFile> readModuleFile(const QString& folder, const QString& fallbackFolder);

// Every module whose MAC the file names takes the stored name.
void nameModules(std::vector<ModuleEntry>& modules, const ModuleFile& file);

} // namespace kvd
