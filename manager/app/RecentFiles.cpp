#include "RecentFiles.h"

#include <QDir>
#include <QFileInfo>

namespace kvd {
namespace {

QStringList readList(QSettings& s, const QString& section, const QString& pattern, int size) {
    QStringList out;
    s.beginGroup(section);
    for (int i = 1; i <= size; ++i) {
        const QString v = s.value(pattern.arg(i)).toString();
        if (!v.isEmpty() && !out.contains(v))
            out.append(v);
    }
    s.endGroup();
    return out;
}

void writeList(QSettings& s, const QString& section, const QString& pattern, int size,
               const QStringList& list) {
    s.beginGroup(section);
    for (int i = 1; i <= size; ++i) {
        if (i <= list.size())
            s.setValue(pattern.arg(i), list[i - 1]);
        else
            s.remove(pattern.arg(i));
    }
    s.endGroup();
}

void pushFront(QStringList& list, const QString& path, int size) {
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > size)
        list.removeLast();
}

} // namespace

void RecentFileList::load(QSettings& settings) {
    paths_ = readList(settings, QStringLiteral("My Recent File List"), QStringLiteral("MyFile%1"),
                      kSize);
    framework_ = readList(settings, QStringLiteral("Recent File List"), QStringLiteral("File%1"),
                          kFrameworkSize);
}

void RecentFileList::save(QSettings& settings) const {
    writeList(settings, QStringLiteral("My Recent File List"), QStringLiteral("MyFile%1"), kSize,
              paths_);
    writeList(settings, QStringLiteral("Recent File List"), QStringLiteral("File%1"),
              kFrameworkSize, framework_);
}

void RecentFileList::add(const QString& path) {
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    pushFront(paths_, p, kSize);
    pushFront(framework_, p, kFrameworkSize);
}

void RecentFileList::remove(int index) {
    if (index < 0 || index >= paths_.size())
        return;
    framework_.removeAll(paths_[index]);
    paths_.removeAt(index);
}

QString RecentFileList::displayName(int index) const {
    return index >= 0 && index < paths_.size() ? abbreviatePath(paths_[index], kShownChars)
                                               : QString();
}

QString abbreviatePath(const QString& path, int maxChars) {
    if (path.size() <= maxChars)
        return path;
    const QString name = QFileInfo(path).fileName();
    const QString ellipsis = QStringLiteral("...");
    // Keep the first folder, then as much of the tail as fits.
    const qsizetype firstSep = path.indexOf(u'/', 1);
    if (firstSep > 0) {
        const QString head = path.left(firstSep + 1) + ellipsis;
        const qsizetype room = maxChars - head.size();
        if (room >= name.size() + 1) {
            QString tail = path.right(room);
            tail = tail.mid(tail.indexOf(u'/'));
            return head + tail;
        }
    }
    return name.size() <= maxChars ? name : name.left(maxChars - ellipsis.size()) + ellipsis;
}

} // namespace kvd
