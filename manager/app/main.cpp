// KVD-Manager start-up and exit.
#include "AppState.h"
#include "ConnectionSettings.h"
#include "HandOver.h"
#include "MainFrame.h"
#include "RecentFiles.h"
#include "ResourceLibrary.h"
#include "TempFolder.h"

#include <QApplication>
#include <QDir>
#include <QSettings>

#include <memory>

using namespace kvd;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("KVD-Manager"));

    QSettings profile;
    RecentFileList recent;
    recent.load(profile);

    AppState state;
    state.programFolder = QCoreApplication::applicationDirPath() + u'/';
    state.tempFolder = userTempFolder();

    // Without its resources the program has nothing to show: end at once, silently.
    ResourceLibrary& resources = ResourceLibrary::instance();
    if (!resources.load(state.programFolder))
        return 1;

    int rc = 0;
    {
        auto frame = std::make_unique<CMainFrame>(state, recent);

        // A file named on the command line is opened; a trailing "/dde" comes from the
        // shell's open verb and is cut.
        const QString file = commandLineFile(QCoreApplication::arguments());
        if (!file.isEmpty()) {
            if (!frame->openProject(file))
                return 1;
            frame->addRecentFile(file);
        }

        frame->showMaximized();
        processHandOver(state, frame->prompter(), *frame, state.tempFolder);
        LoadConnectionSettings(state.settings, state.programFolder, state.tempFolder);

        rc = app.exec();
        state.dropLink();
    }
    recent.save(profile);
    resources.unload();
    return rc;
}
