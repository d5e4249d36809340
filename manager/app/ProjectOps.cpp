#include "ProjectOps.h"

#include "ModelSelection.h"
#include "resources/StringIds.h"

#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace kvd {

namespace {

// The project values of the state that building a document changes before it is known to
// succeed. A failed New or Open puts them back, so the project that stays open keeps its
// path, model and channel settings.
struct ProjectValues {
    explicit ProjectValues(const AppState& s)
        : modelName(s.modelName), projectPath(s.projectPath), driveModelCode(s.driveModelCode),
          frequencyRegion(s.frequencyRegion), groupSelection(s.groupSelection) {
        std::copy(std::begin(s.channels), std::end(s.channels), std::begin(channels));
    }
    void restore(AppState& s) const {
        s.modelName = modelName;
        s.projectPath = projectPath;
        s.driveModelCode = driveModelCode;
        s.frequencyRegion = frequencyRegion;
        s.groupSelection = groupSelection;
        std::copy(std::begin(channels), std::end(channels), std::begin(s.channels));
    }

    QString modelName;
    QString projectPath;
    int driveModelCode;
    int frequencyRegion;
    int groupSelection;
    ChannelSetting channels[4];
};

} // namespace

ProjectOps::ProjectOps(AppState& state, Prompter& prompter, FileChooser& files, DocumentHost& host,
                       ModelChooser& models)
    : state_(state), prompter_(prompter), files_(files), host_(host), models_(models) {}

ProjectOps::~ProjectOps() = default;

bool ProjectOps::mayLeaveProject() {
    if (state_.autoUpdateOn) {
        prompter_.message(ids::AutoUpdateBlocksProject);
        return false;
    }
    return !doc_ || doc_->SaveModified(Icon::Information);
}

std::unique_ptr<CQ770Doc> ProjectOps::makeDocument() {
    return std::make_unique<CQ770Doc>(state_, prompter_, host_, files_);
}

void ProjectOps::install(std::unique_ptr<CQ770Doc> doc, const QString& title) {
    // The old document outlives the call so that its window can close while it still exists.
    std::unique_ptr<CQ770Doc> previous = std::move(doc_);
    doc_ = std::move(doc);
    host_.showProject(*doc_, title);
    host_.rebuildProjectTree();
}

bool ProjectOps::newProject() {
    if (!mayLeaveProject())
        return false;
    ModelSelection selection(state_.programFolder);
    const auto choice = models_.chooseModel(selection);
    if (!choice)
        return false;
    applyModelChoice(state_, *choice);
    return newDocument();
}

bool ProjectOps::newDocument() {
    const ProjectValues previous(state_);
    state_.groupSelection = -1;
    auto doc = makeDocument();
    if (!doc->OnNewDocument()) {
        previous.restore(state_);
        return false;
    }
    install(std::move(doc), host_.resourceText(ids::NewProject));
    return true;
}

bool ProjectOps::openProject() {
    if (!mayLeaveProject())
        return false;
    const QString path = files_.openPath(projectFileFilter());
    return !path.isEmpty() && openDocument(path);
}

bool ProjectOps::openRecent(const QString& path) {
    if (path.isEmpty() || !mayLeaveProject())
        return false;
    if (!openDocument(path)) {
        host_.removeRecentFile(path);
        return false;
    }
    host_.addRecentFile(path);
    return true;
}

bool ProjectOps::openFile(const QString& path) {
    return mayLeaveProject() && openDocument(path);
}

bool ProjectOps::openDocument(const QString& path) {
    const ProjectValues previous(state_);
    state_.groupSelection = -1;
    // Construction resets the channel settings; the open project keeps them when this fails.
    auto doc = makeDocument();
    if (!doc->OnOpenDocument(path)) {
        previous.restore(state_);
        return false;
    }
    install(std::move(doc), QFileInfo(path).fileName());
    return true;
}

bool ProjectOps::save() {
    return doc_ && doc_->OnFileSave();
}

bool ProjectOps::saveAs() {
    return doc_ && doc_->OnFileSaveAs();
}

bool ProjectOps::closeProject() {
    if (!doc_)
        return true;
    if (!doc_->SaveModified())
        return false;
    host_.projectClosed();
    doc_.reset();
    return true;
}

} // namespace kvd
