#include "MainFrame.h"

#include "ConnectDialog.h"
#include "DataFolder.h"
#include "ParameterWindow.h"
#include "ProgressWindow.h"
#include "ResourceLibrary.h"
#include "TransferCommands.h"
#include "reports/CQ770View.h"
#include "reports/ParamTableModel.h"
#include "resources/StringIds.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace kvd {
namespace {

constexpr int kPaneIds[5] = {ids::PaneFileName, ids::PaneVersion, ids::PaneStation, ids::PaneModel,
                             ids::PaneUnlink};

} // namespace

CMainFrame::CMainFrame(AppState& state, RecentFileList& recent, Prompter* prompter)
    : state_(state), recent_(recent), boxes_(this), prompter_(prompter ? prompter : &boxes_),
      files_(this), models_(this), connector_(state_, *prompter_, *this) {
    ops_ = std::make_unique<ProjectOps>(state_, *prompter_, files_, *this, models_);
    transfers_ = std::make_unique<TransferCommands>(*this);
    connect(&keepAlive_, &QTimer::timeout, this, [this] { connector_.poll(); });
    progress_ = new ProgressWindow(this);
    boxes_.setProgressWindow(progress_);
    connect(&commandStates_, &QTimer::timeout, this, [this] { updateCommandStates(); });
    commandStates_.start(250);
    setWindowTitle(resText(ids::MainTitle));
    setAcceptDrops(true);
    mdi_ = new QMdiArea(this);
    setCentralWidget(mdi_);
    buildMenu(ids::MenuNoProject);
    buildToolBar();
    buildStatusBar();
    buildProjectWindow();
    for (const auto& [keys, command] : ResourceLibrary::instance().accelerators(ids::Accelerators))
        if (QAction* a = ensureAction(static_cast<int>(command), QString()))
            a->setShortcuts(a->shortcuts() << QKeySequence(keys));
    updateCommandStates();
}

CMainFrame::~CMainFrame() {
    // Children outlive this object's members during destruction; their signals must not
    // reach handlers that use those members.
    if (dock_)
        dock_->disconnect(this);
    if (tree_)
        tree_->disconnect(this);
    // A closed project window may still wait for its deferred deletion.
    for (QMdiSubWindow* w : findChildren<QMdiSubWindow*>())
        w->disconnect(this);
}

QAction* CMainFrame::ensureAction(int command, const QString& text) {
    if (QAction* a = actions_.value(command)) {
        if (a->text().isEmpty() && !text.isEmpty())
            a->setText(text);
        return a;
    }
    auto* a = new QAction(text, this);
    // Fly-by help: "prompt\ntip" under the command's own string id.
    const QStringList help = resText(command).split(u'\n');
    a->setStatusTip(help.value(0));
    a->setToolTip(help.value(1, help.value(0)));
    // Tool bar buttons without a picture show the short tip, not the menu text with its
    // mnemonic and shortcut.
    a->setIconText(a->toolTip());
    addAction(a); // shortcuts work without a menu entry too
    connect(a, &QAction::triggered, this, [this, command] { onCommand(command); });
    actions_.insert(command, a);
    return a;
}

void CMainFrame::buildMenu(int menuId, bool force) {
    if (menuShown_ == menuId && !force)
        return;
    menuShown_ = menuId;
    menuBar()->clear();
    QList<QMenu*> stack;
    for (const MenuLine& line : ResourceLibrary::instance().menu(menuId)) {
        while (stack.size() > line.depth)
            stack.removeLast();
        QMenu* parent = stack.isEmpty() ? nullptr : stack.last();
        if (line.depth == 0) {
            stack = {menuBar()->addMenu(line.text)};
        } else if (!parent) {
            continue;
        } else if (line.isSeparator()) {
            parent->addSeparator();
        } else if (line.id == 0) {
            stack.append(parent->addMenu(line.text));
        } else if (line.id == static_cast<unsigned>(ids::CmdRecentFirst)) {
            // The recent-project entries stand in the placeholder's place.
            for (int i = 0; i < recent_.paths().size(); ++i) {
                QAction* a = parent->addAction(
                    QStringLiteral("&%1 %2").arg(i + 1).arg(recent_.displayName(i)));
                const int command = ids::CmdRecentFirst + i;
                connect(a, &QAction::triggered, this, [this, command] { onCommand(command); });
            }
        } else {
            parent->addAction(ensureAction(static_cast<int>(line.id), line.text));
        }
    }
}

void CMainFrame::buildToolBar() {
    QToolBar* bar = addToolBar(QString());
    bar->setObjectName(QStringLiteral("toolbar128"));
    bar->setIconSize(QSize(21, 22));
    for (unsigned command : ResourceLibrary::instance().toolBar(ids::ToolBar)) {
        if (command == 0) {
            bar->addSeparator();
            continue;
        }
        QAction* a = ensureAction(static_cast<int>(command), QString());
        const QByteArray png = ResourceLibrary::instance().image(static_cast<int>(command));
        if (!png.isEmpty()) {
            QPixmap pm;
            pm.loadFromData(png);
            a->setIcon(QIcon(pm));
        }
        bar->addAction(a);
    }
}

void CMainFrame::buildStatusBar() {
    for (int i = 0; i < 5; ++i) {
        panes_[i] = new QLabel(this);
        panes_[i]->setFrameShape(QFrame::Panel);
        panes_[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panes_[i]);
        ShowStatus(i, QString());
    }
    ShowStatus(4, resText(ids::PaneUnlink));
}

void CMainFrame::buildProjectWindow() {
    dock_ = new QDockWidget(resText(ids::DockWindows), this);
    dock_->setObjectName(QStringLiteral("dock123"));
    auto* tabs = new QTabWidget(dock_);
    tree_ = new QTreeWidget(tabs);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tabs->addTab(tree_, resText(ids::ProjectTree));
    dock_->setWidget(tabs);
    dock_->resize(120, 260);
    addDockWidget(Qt::LeftDockWidgetArea, dock_);
    // An item is chosen by a click or by moving to it with the keyboard.
    auto chosen = [this](QTreeWidgetItem* item) {
        if (!view_ || !item)
            return;
        if (const auto sel = groupSelectionOfTreeData(item->data(0, Qt::UserRole).toInt()))
            view_->showGroupSelection(*sel);
    };
    connect(tree_, &QTreeWidget::itemClicked, this, chosen);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [chosen](QTreeWidgetItem* current) { chosen(current); });
    connect(dock_, &QDockWidget::visibilityChanged, this, [this] { updateCommandStates(); });
}

void CMainFrame::ShowStatus(int pane, const QString& text) {
    if (pane < 0 || pane > 4)
        return;
    paneTexts_[pane] = pane == 4 ? text : resText(kPaneIds[pane]) + text;
    panes_[pane]->setText(paneTexts_[pane]);
    panes_[pane]->repaint();
}

QString CMainFrame::statusText(int pane) const {
    return pane >= 0 && pane < 5 ? paneTexts_[pane] : QString();
}

int CMainFrame::paneWidth(int pane) const {
    return pane >= 0 && pane < 5 ? panes_[pane]->width() : 0;
}

void CMainFrame::layoutPanes() {
    const int w = width();
    const int widths[5] = {3 * w / 14, w / 7, 2 * w / 7, w / 7, w / 14};
    for (int i = 0; i < 5; ++i)
        panes_[i]->setFixedWidth(widths[i]);
}

void CMainFrame::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    layoutPanes();
}

void CMainFrame::RebuildProjectTree() {
    tree_->clear();
    auto* root = new QTreeWidgetItem(tree_, {resText(ids::ProjectTree)});
    root->setData(0, Qt::UserRole, kTreeRoot);
    auto* params = new QTreeWidgetItem(root, {resText(ids::ParameterTree)});
    params->setData(0, Qt::UserRole, kTreeParameters);
    if (state_.fullParameterSet) {
        for (int g = 0; g < 14; ++g) {
            auto* item =
                new QTreeWidgetItem(params, {QStringLiteral("%1-XX").arg(g, 2, 10, QChar(u'0'))});
            item->setData(0, Qt::UserRole, kTreeFirstGroup + 2 * g);
        }
    } else {
        auto* item = new QTreeWidgetItem(params, {QStringLiteral("F-XX")});
        item->setData(0, Qt::UserRole, kTreeBasicGroup);
    }
    root->setExpanded(true);
    params->setExpanded(true);
}

void CMainFrame::createProjectWindow(CQ770Doc* doc, const QString& title) {
    closeProjectWindow();
    QWidget* content = nullptr;
    CQ770View* view = nullptr;
    if (doc) {
        view = new CQ770View(*doc, state_, *this, *prompter_);
        view_ = view;
        connect(view, &CQ770View::editRequested, this,
                [this](int group, int item) { openParameterSet(*this, group, item); });
        content = view;
    } else {
        content = new QWidget;
    }
    projectWindow_ = mdi_->addSubWindow(content, Qt::SubWindow | Qt::WindowTitleHint);
    projectWindow_->setAttribute(Qt::WA_DeleteOnClose);
    projectWindow_->setWindowTitle(title);
    projectWindow_->installEventFilter(this);
    connect(projectWindow_, &QObject::destroyed, this, [this](QObject* gone) {
        if (gone != projectWindow_)
            return; // an older window going after its successor came
        projectWindow_ = nullptr;
        tree_->clear(); // closing the project window empties the tree
        buildMenu(ids::MenuNoProject);
        updateCommandStates();
    });
    projectWindow_->showMaximized();
    if (view)
        view->initialUpdate();
    buildMenu(ids::MenuProject);
    updateCommandStates();
}

void CMainFrame::closeProjectWindow() {
    if (!projectWindow_)
        return;
    QMdiSubWindow* w = projectWindow_;
    projectWindow_ = nullptr;
    closingProjectWindow_ = true;
    w->close();
    closingProjectWindow_ = false;
    tree_->clear();
    buildMenu(ids::MenuNoProject);
    updateCommandStates();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* e) {
    // The user closing the project window closes the project: ask about unsaved changes.
    if (watched == projectWindow_ && e->type() == QEvent::Close && !closingProjectWindow_) {
        if (!ops_->closeProject()) {
            e->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    transfers_->stopAutoUpdate();
    if (!ops_->closeProject()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}

CQ770View* CMainFrame::view() const {
    return view_.data();
}

bool CMainFrame::openProject(const QString& path) {
    return ops_->openFile(path);
}

void CMainFrame::newOnlineProject() {
    ops_->newDocument();
}

QString CMainFrame::resourceText(int stringId) const {
    return resText(stringId);
}

void CMainFrame::showProject(CQ770Doc& doc, const QString& title) {
    createProjectWindow(&doc, title);
}

void CMainFrame::setKeepAlive(bool running) {
    if (running)
        keepAlive_.start(Connector::kKeepAliveMs);
    else
        keepAlive_.stop();
}

void CMainFrame::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void CMainFrame::setProjectTitle(const QString& title) {
    if (projectWindow_)
        projectWindow_->setWindowTitle(title);
}

void CMainFrame::projectClosed() {
    // The automatic update reads into the document that is about to go.
    transfers_->stopAutoUpdate();
    closeProjectWindow();
}

void CMainFrame::stopAutoUpdate() {
    transfers_->stopAutoUpdate();
}

void CMainFrame::addRecentFile(const QString& path) {
    recent_.add(path);
    buildMenu(menuShown_, true);
}

void CMainFrame::removeRecentFile(const QString& path) {
    recent_.remove(static_cast<int>(recent_.paths().indexOf(path)));
    buildMenu(menuShown_, true);
}

void CMainFrame::updateCommandStates() {
    const bool project = projectWindow_ != nullptr;
    const bool view = view_ != nullptr;
    const bool online = state_.connected;
    const bool busy = state_.reading || state_.writing;
    auto enable = [this](int command, bool on) {
        if (QAction* a = action(command))
            a->setEnabled(on);
    };
    for (int c :
         {ids::CmdSave, ids::CmdSaveAs, ids::CmdPrint, ids::CmdPrintDirect, ids::CmdPrintPreview,
          ids::CmdPrintSetup, ids::CmdPrintTitle, ids::CmdImportParams, ids::CmdExportParams})
        enable(c, project);
    enable(ids::CmdGroup00, state_.fullParameterSet);
    enable(ids::CmdGroup01, state_.fullParameterSet);
    for (int c = ids::CmdGroup02; c <= ids::CmdGroup13; ++c)
        enable(c, state_.fullParameterSet);
    enable(ids::CmdGroupF, !state_.fullParameterSet);
    for (int c : {ids::CmdRead, ids::CmdWrite, ids::CmdStatus, ids::CmdControl, ids::CmdKeyPad})
        enable(c, view && online);
    for (int c : {ids::CmdCompare, ids::CmdGraphWatch, ids::CmdParameterSelect})
        enable(c, view);
    enable(ids::CmdAutoUpdate, view && online && !busy);
    if (QAction* a = action(ids::CmdAutoUpdate)) {
        a->setCheckable(true);
        a->setChecked(state_.autoUpdateOn);
    }
    enable(ids::CmdPasswordSet, online);
    enable(ids::CmdPasswordRemove, online);
    if (QAction* a = action(ids::CmdProjectWindow)) {
        a->setCheckable(true);
        a->setChecked(dock_ && dock_->isVisible());
    }
}

void CMainFrame::onCommand(int command) {
    if (command >= ids::CmdRecentFirst && command < ids::CmdRecentFirst + RecentFileList::kSize) {
        ops_->openRecent(recent_.paths().value(command - ids::CmdRecentFirst));
        emit commandTriggered(command);
        return;
    }
    if (const auto group = groupOfCommand(command)) {
        openParameterSet(*this, *group, -1);
        updateCommandStates();
        emit commandTriggered(command);
        return;
    }
    switch (command) {
    case ids::CmdNew:
        ops_->newProject();
        break;
    case ids::CmdOpen:
        ops_->openProject();
        break;
    case ids::CmdClose:
        ops_->closeProject();
        break;
    case ids::CmdSave:
        ops_->save();
        break;
    case ids::CmdSaveAs:
        ops_->saveAs();
        break;
    case ids::CmdConnect:
        transfers_->connect();
        break;
    case ids::CmdRead:
        transfers_->read();
        break;
    case ids::CmdWrite:
        transfers_->write();
        break;
    case ids::CmdAutoUpdate:
        transfers_->toggleAutoUpdate();
        break;
    case ids::CmdParameterSelect:
        if (view_)
            view_->onParameterSelect();
        break;
    case ids::CmdPrintTitle:
        if (view_)
            view_->onPrintTitle();
        break;
    case ids::CmdPrint:
        if (view_)
            view_->onPrint();
        break;
    case ids::CmdPrintDirect:
        if (view_)
            view_->onPrintDirect();
        break;
    case ids::CmdPrintPreview:
        if (view_)
            view_->onPrintPreview();
        break;
    case ids::CmdAbout:
        showAboutBox(this);
        break;
    case ids::CmdExit:
        close();
        break;
    case ids::CmdProjectWindow:
        dock_->setVisible(!dock_->isVisible());
        break;
    case ids::CmdToolBar:
        for (QToolBar* t : findChildren<QToolBar*>())
            t->setVisible(!t->isVisible());
        break;
    case ids::CmdStatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        break;
    case ids::CmdHelp:
        openHelp();
        break;
    default:
        break;
    }
    updateCommandStates();
    emit commandTriggered(command);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* e) {
    // Only one project is open at a time: the first dropped file is the one opened.
    for (const QUrl& url : e->mimeData()->urls()) {
        if (url.isLocalFile()) {
            if (openProject(url.toLocalFile()))
                addRecentFile(url.toLocalFile());
            break;
        }
    }
}

void CMainFrame::openHelp() {
    const QString manual = findDataFile(state_.programFolder, QString::fromLatin1(kHelpFile));
    if (manual.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(manual)))
        prompter_->message(ids::HelpMissing);
}

void showAboutBox(QWidget* parent) {
    const ResourceLibrary& r = ResourceLibrary::instance();
    QDialog box(parent);
    box.setObjectName(QStringLiteral("dialog100"));
    box.setWindowTitle(r.dialogText(ids::DialogAbout, 0));
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(r.dialogText(ids::DialogAbout, 1001), &box));
    layout->addWidget(new QLabel(r.dialogText(ids::DialogAbout, 1002), &box));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    buttons->button(QDialogButtonBox::Ok)->setText(r.dialogText(ids::DialogAbout, 1));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    box.exec();
}

} // namespace kvd
