// The resource library, loaded once at start-up. Everything the user reads comes from it
// by numeric id.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>

class QLibrary;

namespace kvd {

struct MenuLine {
    int depth;
    unsigned id;
    QString text; // null for a separator
    bool isSeparator() const { return id == 0 && text.isNull(); }
};

class ResourceLibrary {
public:
    ResourceLibrary();
    ~ResourceLibrary();

    // Loads the library from `programFolder`, then from the installed library folder
    // beside it. False when neither holds a usable one.
    bool load(const QString& programFolder);
    void unload();
    bool isLoaded() const;
    QString path() const;

    // Text of a string id; empty when missing.
    QString string(int id) const;
    // The string's printf fields (%d, %s, %x, %.3f ...) filled in order from `args`.
    QString format(int id, const QStringList& args) const;

    QList<MenuLine> menu(int id) const;
    QList<QPair<QString, unsigned>> accelerators(int id) const;
    QList<unsigned> toolBar(int id) const;
    // Control id -> text of a dialog; control 0 is the caption.
    QList<QPair<unsigned, QString>> dialogTexts(int id) const;
    QString dialogText(int dialogId, unsigned control) const;
    QByteArray image(int id) const;

    // The one library of the process.
    static ResourceLibrary& instance();

private:
    struct Api;
    std::unique_ptr<QLibrary> lib_;
    std::unique_ptr<Api> api_;
};

// Fills printf-style fields of `pattern` from `args` in order ("%d", "%s", "%05d", "%.3f").
QString formatPrintf(const QString& pattern, const QStringList& args);

// Shortcut for ResourceLibrary::instance().string(id).
QString resText(int id);

} // namespace kvd
