// Tests of windows: one QApplication for the process (offscreen platform from the
// environment) and the resource library from the build's program folder.
#pragma once

#include "app/ResourceLibrary.h"

#include <QApplication>
#include <QString>

namespace kvdtest {

// True when the resource library is loaded; call from SetUpTestSuite.
inline bool startGuiTestApp() {
    static int argc = 1;
    static char name[] = "kvd-test";
    static char* argv[] = {name, nullptr};
    if (!qApp)
        new QApplication(argc, argv);
    return kvd::ResourceLibrary::instance().load(QStringLiteral(KVD_BIN_DIR));
}

} // namespace kvdtest
