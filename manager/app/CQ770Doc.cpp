#include "CQ770Doc.h"

#include "DataFolder.h"
#include "ProjectFile.h"
#include "params/Catalogue.h"
#include "params/DataFiles.h"
#include "params/ModelTable.h"
#include "resources/StringIds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace kvd {

namespace {

std::filesystem::path localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString fileNameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

// Writes a temporary file beside `path` and renames it over `path` only once it is complete,
// so a failed write leaves the previous file as it was.
bool replaceFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    // A read-only project stays as it is, as it would if written in place.
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false; // the temporary file goes with `file`
    return file.commit();
}

} // namespace

ChannelSetting defaultChannelSetting(const QString& noDisplayText) {
    return {0, noDisplayText, QStringLiteral("10.00"), QStringLiteral("0.00")};
}

FileFilter projectFileFilter() {
    const QString pattern = QStringLiteral("*.") + QLatin1String(kProjectSuffix);
    return {ids::ProjectFileFilter, {pattern, pattern}, QLatin1String(kProjectSuffix)};
}

QString withProjectSuffix(const QString& path) {
    const QFileInfo info(path);
    if (info.fileName().isEmpty() || !info.suffix().isEmpty())
        return path;
    return path + (path.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) +
           QLatin1String(kProjectSuffix);
}

CQ770Doc::CQ770Doc(AppState& state, Prompter& prompter, DocumentHost& host, FileChooser& files)
    : state_(state), prompter_(prompter), host_(host), files_(files) {
    // The items come with their modified marks cleared.
    if (auto groups = loadParamData(localPath(dataFilePath(kParamDataFileName))))
        groups_ = std::move(*groups);
    applyRegionDefaults(groups_, state_.frequencyRegion, state_.driveModelCode);
    const ChannelSetting channel = defaultChannelSetting(host_.resourceText(ids::ChannelNoDisplay));
    for (ChannelSetting& c : state_.channels)
        c = channel;
    valuesFromFile_ = true;
}

ParamItem* CQ770Doc::item(int group, int position) {
    return const_cast<ParamItem*>(std::as_const(*this).item(group, position));
}

const ParamItem* CQ770Doc::item(int group, int position) const {
    if (group < 0 || position < 0 || static_cast<std::size_t>(group) >= groups_.size())
        return nullptr;
    const auto& items = groups_[static_cast<std::size_t>(group)].items;
    if (static_cast<std::size_t>(position) >= items.size())
        return nullptr;
    return &items[static_cast<std::size_t>(position)];
}

bool CQ770Doc::modifiedMark(int group, int position) const {
    const ParamItem* it = position < kMarksPerGroup ? item(group, position) : nullptr;
    return it && it->modified;
}

void CQ770Doc::setModifiedMark(int group, int position, bool on) {
    if (ParamItem* it = position < kMarksPerGroup ? item(group, position) : nullptr)
        it->modified = on;
}

void CQ770Doc::clearModifiedMarks() {
    for (ParamGroup& g : groups_)
        for (ParamItem& it : g.items)
            it.modified = false;
}

void CQ770Doc::adoptReadValues() {
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const auto specs = groupSpecs(static_cast<int>(g));
        auto& items = groups_[g].items;
        for (std::size_t i = 0; i < items.size() && i < specs.size(); ++i)
            if (isGroupRead(specs[i]))
                items[i].editValue = items[i].readValue;
    }
    valuesFromFile_ = false;
}

QString CQ770Doc::dataFilePath(std::string_view name) const {
    const QString file = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    const QString found = findDataFile(state_.programFolder, file);
    return found.isEmpty() ? QDir(state_.programFolder).filePath(file) : found;
}

bool CQ770Doc::OnNewDocument() {
    modified_ = false;
    // A missing initial-parameter file is reported; the project opens anyway.
    ApplyInitialValues();
    host_.showStatus(PaneFileName, host_.resourceText(ids::NewProject));
    host_.showStatus(PaneModel, state_.modelName);
    return true;
}

bool CQ770Doc::OnOpenDocument(const QString& path) {
    if (state_.autoUpdateOn) {
        prompter_.message(ids::AutoUpdateBlocksProject);
        return false;
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        prompter_.message(ids::OpenFileFailed);
        return false;
    }
    // One byte beyond the limit is enough to tell an oversized file.
    const QByteArray bytes = file.read(static_cast<qint64>(project::kMaxFileBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        prompter_.message(ids::OpenFileFailed);
        return false;
    }
    if (!SerializeLoad(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        prompter_.message(ids::ProjectFileInvalid);
        return false;
    }
    // The file has supplied the edit values: the initial values set factory values only, now
    // and after later reads. Turning the flag back on would let the next read of all groups
    // overwrite the drive's motor values with the model's defaults.
    ApplyInitialValues();
    modified_ = false;
    state_.projectPath = path;
    host_.showStatus(PaneFileName, fileNameOf(path));
    host_.showStatus(PaneModel, state_.modelName);
    host_.rebuildProjectTree();
    return true;
}

bool CQ770Doc::SerializeLoad(std::string_view bytes) {
    const auto data = project::readProject(bytes);
    if (!data)
        return false;
    valuesFromFile_ = false;
    state_.modelName = QString::fromStdString(data->model);
    state_.driveModelCode = modelCode(data->model, state_.driveModelCode);
    // Items the file does not list keep the values construction gave them.
    for (std::size_t g = 0; g < data->groups.size() && g < groups_.size(); ++g) {
        auto& items = groups_[g].items;
        const auto& values = data->groups[g];
        for (std::size_t i = 0; i < values.size() && i < items.size(); ++i)
            items[i].editValue = values[i];
    }
    if (data->channels) {
        for (int c = 0; c < project::kChannelCount; ++c) {
            const project::ChannelRecord& r = (*data->channels)[static_cast<std::size_t>(c)];
            state_.channels[c] = {r.index, QString::fromStdString(r.name),
                                  QString::fromStdString(r.upper), QString::fromStdString(r.lower)};
        }
    }
    return true;
}

std::optional<QByteArray> CQ770Doc::SerializeStore(std::string* error) const {
    project::ProjectData data;
    data.model = state_.modelName.toStdString();
    for (const ParamGroup& g : groups_) {
        std::vector<std::string> values;
        for (const ParamItem& it : g.items)
            values.push_back(it.editValue);
        data.groups.push_back(std::move(values));
    }
    std::array<project::ChannelRecord, project::kChannelCount> channels;
    for (int c = 0; c < project::kChannelCount; ++c) {
        const ChannelSetting& s = state_.channels[c];
        channels[static_cast<std::size_t>(c)] = {s.index, s.name.toStdString(),
                                                 s.upper.toStdString(), s.lower.toStdString()};
    }
    data.channels = channels;
    const auto bytes = project::writeProject(data, error);
    if (!bytes)
        return std::nullopt;
    return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
}

bool CQ770Doc::OnSaveDocument(const QString& path) {
    const auto bytes = SerializeStore();
    if (!bytes || !replaceFile(path, *bytes)) {
        prompter_.message(ids::SaveFailure);
        return false;
    }
    modified_ = false;
    return true;
}

bool CQ770Doc::ApplyInitialValues() {
    auto rows = loadInitialParams(localPath(dataFilePath(kInitialParamFileName)));
    if (!rows) {
        prompter_.message(ids::InitialParamFileMissing);
        return false;
    }
    initialRows_ = std::move(*rows);
    applyInitialValues(groups_, initialRows_, state_.driveModelCode, valuesFromFile_);
    return true;
}

QString CQ770Doc::askSavePath() {
    const QString path = files_.savePath(state_.projectPath, projectFileFilter());
    return path.isEmpty() ? path : withProjectSuffix(path);
}

bool CQ770Doc::saveAt(const QString& path) {
    if (!OnSaveDocument(path)) {
        // The next Save asks for a path.
        state_.projectPath.clear();
        return false;
    }
    state_.projectPath = path;
    host_.addRecentFile(path);
    host_.setProjectTitle(fileNameOf(path));
    host_.showStatus(PaneFileName, fileNameOf(path));
    return true;
}

bool CQ770Doc::OnFileSave() {
    QString path = state_.projectPath;
    if (path.isEmpty())
        path = askSavePath();
    return !path.isEmpty() && saveAt(path);
}

bool CQ770Doc::OnFileSaveAs() {
    const QString path = askSavePath();
    return !path.isEmpty() && saveAt(path);
}

bool CQ770Doc::SaveModified(Icon icon) {
    if (!modified_)
        return true;
    switch (prompter_.ask(ids::SaveModifiedQuestion, Buttons::YesNoCancel, {}, icon)) {
    case Answer::Yes:
        // A project whose save failed is not left: its changes would be lost.
        return OnFileSave();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

} // namespace kvd
