#include "DataFolder.h"

#include <QDir>
#include <QFileInfo>

namespace kvd {

QString findDataFile(const QString& programFolder, const QString& name) {
    const QDir program(programFolder);
    for (const QString& candidate :
         {program.filePath(name),
          program.filePath(QStringLiteral("../share/kvd-manager/") + name)}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

} // namespace kvd
