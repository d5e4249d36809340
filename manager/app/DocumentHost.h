// What the project document and its operations need of the windows: status panes, the
// project tree and window, the recent-project list, the file dialogs and the model selection
// dialog 131. The main frame implements these with Qt widgets; tests script them.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kvd {

class CQ770Doc;
class ModelSelection;

// Status bar panes (the indicators 61451 to 61455).
enum StatusPane { PaneFileName = 0, PaneVersion = 1, PaneStation = 2, PaneModel = 3, PaneLink = 4 };

class DocumentHost {
public:
    virtual ~DocumentHost() = default;

    // Pane 0..3 shows its indicator's label followed by `text`; pane 4 the text alone.
    virtual void showStatus(int pane, const QString& text) = 0;
    virtual void rebuildProjectTree() = 0;
    // The text of a string id. The document stores a few of them as data (the channel name
    // "No display") or shows them as a title ("New Project").
    virtual QString resourceText(int stringId) const = 0;

    // `doc` replaces the open project: close the previous project window and show `doc` in a
    // new one titled `title`. The previous document is destroyed after this returns.
    virtual void showProject(CQ770Doc& doc, const QString& title) = 0;
    // The open project's window takes a new title (after Save and Save As).
    virtual void setProjectTitle(const QString& title) = 0;
    // The project is closed: its window goes and the project tree is emptied.
    virtual void projectClosed() = 0;

    // Adds `path` to the top of both recent-project lists, or removes it from them.
    virtual void addRecentFile(const QString& path) = 0;
    virtual void removeRecentFile(const QString& path) = 0;
};

// A file dialog's filter: the string `stringId` with its fields filled from `args`, in the
// "Description|pattern||" form (see qtNameFilters), and the suffix the save dialog appends to
// a name typed without one.
struct FileFilter {
    int stringId = 0;
    QStringList args;
    QString defaultSuffix;
};

// The open and save dialogs. Each returns the chosen path, or an empty string when cancelled.
// The open dialog accepts existing files only; the save dialog asks before overwriting (give
// it the default suffix so that it asks about the name that will be written) and hides the
// read-only box.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual QString openPath(const FileFilter& filter) = 0;
    virtual QString savePath(const QString& suggested, const FileFilter& filter) = 0;
};

struct ModelChoice {
    QString name;      // empty when the model list is empty
    int frequency = 0; // 0 for 50 Hz, 1 for 60 Hz
    bool operator==(const ModelChoice&) const = default;
};

// Dialog 131 "Model Select": shows `selection` (models, descriptions, frequency), lets the
// user change it, and returns its choice on OK; nothing on Cancel.
class ModelChooser {
public:
    virtual ~ModelChooser() = default;
    virtual std::optional<ModelChoice> chooseModel(ModelSelection& selection) = 0;
};

// Name filters for QFileDialog from a filter text "Desc(*.a)|*.a|Other|*.b;*.c||":
// {"Desc(*.a) (*.a)", "Other (*.b *.c)"}.
QStringList qtNameFilters(const QString& filterText);

} // namespace kvd
