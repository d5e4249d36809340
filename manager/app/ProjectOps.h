// The project commands: New (57600), Open (57601), the recent-project entries (57616 and up),
// Save (57603), Save As (57604) and closing the project. Holds the one open document; a new
// or opened project replaces it only once it has been built successfully.
#pragma once

#include "AppState.h"
#include "CQ770Doc.h"
#include "DocumentHost.h"
#include "Prompter.h"

#include <QString>

#include <memory>

namespace kvd {

class ProjectOps {
public:
    ProjectOps(AppState& state, Prompter& prompter, FileChooser& files, DocumentHost& host,
               ModelChooser& models);
    ~ProjectOps();

    // The open project; nullptr when none is open.
    CQ770Doc* document() const { return doc_.get(); }

    // New: refused with 61576 during the automatic update; asks about a modified project;
    // shows dialog 131 and builds a project for the chosen model.
    bool newProject();
    // Open: as New, with the open dialog instead of dialog 131.
    bool openProject();
    // A recent-project entry: opened as Open does; on success it moves to the top of the
    // recent lists, when it fails to open it is removed from them. An empty entry does nothing.
    bool openRecent(const QString& path);
    // A project named outside the menus (command line, hand-over file, dropped file).
    bool openFile(const QString& path);
    // A new project for the current model without dialog 131 (the hand-over's connection).
    bool newDocument();

    bool save();
    bool saveAs();
    // The project window is closing (or the program): asks about a modified project; false
    // when the user stays.
    bool closeProject();

private:
    // Steps before a project is left: the automatic update and the save question.
    bool mayLeaveProject();
    bool openDocument(const QString& path);
    std::unique_ptr<CQ770Doc> makeDocument();
    void install(std::unique_ptr<CQ770Doc> doc, const QString& title);

    AppState& state_;
    Prompter& prompter_;
    FileChooser& files_;
    DocumentHost& host_;
    ModelChooser& models_;
    std::unique_ptr<CQ770Doc> doc_;
};

} // namespace kvd
