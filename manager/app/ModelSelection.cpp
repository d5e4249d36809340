#include "ModelSelection.h"

#include "DataFolder.h"
#include "params/ModelTable.h"

#include <QDir>
#include <QFile>

namespace kvd {

namespace {

std::vector<ModelDescription> readModels(const QString& programFolder) {
    const QString name = QString::fromUtf8(kModelFileName);
    QString path = findDataFile(programFolder, name);
    if (path.isEmpty())
        path = QDir(programFolder).filePath(name);
    auto models = loadModelFile(QFile::encodeName(path).toStdString());
    return models ? std::move(*models) : std::vector<ModelDescription>{};
}

} // namespace

ModelSelection::ModelSelection(const QString& programFolder)
    : ModelSelection(readModels(programFolder)) {}

ModelSelection::ModelSelection(std::vector<ModelDescription> models)
    : models_(std::move(models)), selected_(models_.empty() ? -1 : 0) {}

QStringList ModelSelection::frequencyItems() {
    return {QStringLiteral("50.00"), QStringLiteral("60.00")};
}

QStringList ModelSelection::names() const {
    QStringList list;
    for (const ModelDescription& m : models_)
        list << QString::fromStdString(m.name);
    return list;
}

QString ModelSelection::description(int row) const {
    if (row < 0 || row >= count())
        return {};
    return QString::fromStdString(models_[static_cast<std::size_t>(row)].description);
}

void ModelSelection::select(int row) {
    if (row >= 0 && row < count())
        selected_ = row;
}

void ModelSelection::setFrequency(int index) {
    if (index == 0 || index == 1)
        frequency_ = index;
}

ModelChoice ModelSelection::choice() const {
    ModelChoice c;
    if (selected_ >= 0)
        c.name = QString::fromStdString(models_[static_cast<std::size_t>(selected_)].name);
    c.frequency = frequency_;
    return c;
}

void applyModelChoice(AppState& state, const ModelChoice& choice) {
    state.modelName = choice.name;
    state.frequencyRegion = choice.frequency;
    state.driveModelCode = modelCode(choice.name.toStdString(), state.driveModelCode);
    state.projectPath.clear();
}

} // namespace kvd
