// The recent-project list: eight paths under "My Recent File List" (MyFile1..MyFile8), and
// the framework's own four-entry list ("Recent File List", File1..File4) kept beside it.
#pragma once

#include <QSettings>
#include <QStringList>

namespace kvd {

class RecentFileList {
public:
    static constexpr int kSize = 8;
    static constexpr int kShownChars = 30;
    static constexpr int kFrameworkSize = 4;

    void load(QSettings& settings);
    void save(QSettings& settings) const;
    // Moves or inserts `path` at the top of both lists.
    void add(const QString& path);
    void remove(int index);
    const QStringList& paths() const { return paths_; }
    const QStringList& frameworkPaths() const { return framework_; }
    // The menu text of entry `index`: at most 30 characters, the file name kept whole.
    QString displayName(int index) const;

private:
    QStringList paths_;
    QStringList framework_;
};

// Shortens a path to `maxChars` keeping the start and the file name ("/home/…/x.qf7").
QString abbreviatePath(const QString& path, int maxChars);

} // namespace kvd
