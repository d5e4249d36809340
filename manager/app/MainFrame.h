// The main window: menus, tool bar, status panes, the project window and its tree. It
// holds the program-wide state and forwards commands to the operations.
#pragma once

#include "AppState.h"
#include "HandOver.h"
#include "QtPrompter.h"
#include "RecentFiles.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTreeWidget;
class QDockWidget;

namespace kvd {

class CMainFrame : public QMainWindow, public StartupHost {
    Q_OBJECT
public:
    explicit CMainFrame(AppState& state, RecentFileList& recent);
    ~CMainFrame() override;

    AppState& state() { return state_; }
    Prompter& prompter() { return prompter_; }

    // Status pane 0..4: label of its indicator followed by the text (pane 4: the text).
    void ShowStatus(int pane, const QString& text);
    QString statusText(int pane) const;
    int paneWidth(int pane) const;
    void RebuildProjectTree();

    // The command's action, null when no menu or bar carries it.
    QAction* action(int command) const { return actions_.value(command); }
    bool hasProject() const { return projectWindow_ != nullptr; }
    QMdiSubWindow* projectWindow() const { return projectWindow_; }
    QTreeWidget* projectTree() const { return tree_; }

    // StartupHost
    bool openProject(const QString& path) override;
    void newOnlineProject() override;
    void showStatus(int pane, const QString& text) override { ShowStatus(pane, text); }

signals:
    void commandTriggered(int command);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void buildMenu(int menuId);
    void buildToolBar();
    void buildStatusBar();
    void buildProjectWindow();
    void layoutPanes();
    QAction* ensureAction(int command, const QString& text);
    void onCommand(int command);
    void updateCommandStates();
    void createProjectWindow(const QString& title);
    void closeProjectWindow();
    void showAbout();

    AppState& state_;
    RecentFileList& recent_;
    QtPrompter prompter_;
    QHash<int, QAction*> actions_;
    QLabel* panes_[5] = {};
    QString paneTexts_[5];
    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* projectWindow_ = nullptr;
    QDockWidget* dock_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    int menuShown_ = 0;
};

// Dialog 100.
void showAboutBox(QWidget* parent);

} // namespace kvd
