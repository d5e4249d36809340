// The main window: menus, tool bar, status panes, the project window and its tree. It
// holds the program-wide state and forwards commands to the operations.
#pragma once

#include "AppState.h"
#include "Connector.h"
#include "DocumentHost.h"
#include "HandOver.h"
#include "ProjectDialogs.h"
#include "ProjectOps.h"
#include "QtPrompter.h"
#include "RecentFiles.h"

#include <memory>

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTreeWidget;
class QDockWidget;

namespace kvd {

class CQ770View;
class ProgressWindow;
class TransferCommands;

class CMainFrame : public QMainWindow,
                   public StartupHost,
                   public DocumentHost,
                   public ConnectionHost {
    Q_OBJECT
public:
    // `prompter` replaces the message boxes (tests answer through a scripted one).
    explicit CMainFrame(AppState& state, RecentFileList& recent, Prompter* prompter = nullptr);
    ~CMainFrame() override;

    AppState& state() { return state_; }
    Prompter& prompter() { return *prompter_; }
    Connector& connector() { return connector_; }
    CQ770View* view() const;
    ProgressWindow* progressWindow() const { return progress_; }
    // Enables, disables and checks the commands for the state now (the frame also does this
    // on its own a few times a second, as the state can change under any window).
    void updateCommandStates();

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

    ProjectOps& projects() { return *ops_; }
    // Read, Write, the automatic update and the read offered after connecting.
    TransferCommands& transfers() { return *transfers_; }
    CQ770Doc* document() const { return ops_->document(); }
    // Runs a menu or tool bar command as if the user chose it.
    void runCommand(int command) { onCommand(command); }

    // StartupHost
    bool openProject(const QString& path) override;
    void newOnlineProject() override;
    // StartupHost and DocumentHost
    void showStatus(int pane, const QString& text) override { ShowStatus(pane, text); }
    // DocumentHost
    void rebuildProjectTree() override { RebuildProjectTree(); }
    QString resourceText(int stringId) const override;
    void showProject(CQ770Doc& doc, const QString& title) override;
    void setProjectTitle(const QString& title) override;
    void projectClosed() override;
    void addRecentFile(const QString& path) override;
    void removeRecentFile(const QString& path) override;
    // ConnectionHost
    void setKeepAlive(bool running) override;
    void setBusy(bool busy) override;
    void stopAutoUpdate() override;

signals:
    void commandTriggered(int command);

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void buildMenu(int menuId, bool force = false);
    void buildToolBar();
    void buildStatusBar();
    void buildProjectWindow();
    void layoutPanes();
    QAction* ensureAction(int command, const QString& text);
    void onCommand(int command);
    void createProjectWindow(CQ770Doc* doc, const QString& title);
    void closeProjectWindow();
    void showAbout();
    void openHelp();

    AppState& state_;
    RecentFileList& recent_;
    QtPrompter boxes_;
    Prompter* prompter_;
    QtFileChooser files_;
    ModelSelectDialog models_;
    std::unique_ptr<ProjectOps> ops_;
    bool closingProjectWindow_ = false; // the program, not the user, closes it
    Connector connector_;
    QTimer keepAlive_;
    QTimer commandStates_;
    ProgressWindow* progress_ = nullptr;
    QPointer<CQ770View> view_; // clears itself when the project window goes
    QHash<int, QAction*> actions_;
    QLabel* panes_[5] = {};
    QString paneTexts_[5];
    QMdiArea* mdi_ = nullptr;
    QMdiSubWindow* projectWindow_ = nullptr;
    QDockWidget* dock_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    int menuShown_ = 0;
    std::unique_ptr<TransferCommands> transfers_; // last: its worker ends first
};

// Dialog 100.
void showAboutBox(QWidget* parent);

} // namespace kvd
