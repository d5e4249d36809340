#include "TempFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kvd {

static bool privateFolder(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString userTempFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && privateFolder(runtime))
        return QString::fromLocal8Bit(runtime);
    const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("kvd-%1").arg(::geteuid()));
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    // An existing folder must be ours and closed to others: it could have been planted.
    return privateFolder(native) ? path : QString();
}

} // namespace kvd
