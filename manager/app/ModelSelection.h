// The logic of dialog 131 "Model Select": the models of the model description file with their
// descriptions, the chosen model and supply frequency, and what the choice does to the
// program-wide state. The dialog itself only shows this and passes the user's clicks on.
#pragma once

#include "AppState.h"
#include "DocumentHost.h"
#include "params/DataFiles.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kvd {

class ModelSelection {
public:
    // Reads the model description file from `programFolder`; a missing or unreadable file
    // gives an empty list.
    explicit ModelSelection(const QString& programFolder);
    explicit ModelSelection(std::vector<ModelDescription> models);

    // The "Frequency:" list (1001): "50.00" and "60.00".
    static QStringList frequencyItems();

    // The "Model:" list (1002) in file order.
    QStringList names() const;
    int count() const { return static_cast<int>(models_.size()); }
    // The description of a row for the read-only text (1003); lines end with "\n".
    QString description(int row) const;

    // The selected row, 0 at first; -1 when the list is empty. Rows outside the list are
    // ignored.
    int selected() const { return selected_; }
    void select(int row);
    QString selectedDescription() const { return description(selected_); }

    int frequency() const { return frequency_; }
    void setFrequency(int index); // 0 for 50 Hz, 1 for 60 Hz; other values are ignored

    // OK: the selected model's name (empty without models) and the frequency position.
    ModelChoice choice() const;

private:
    std::vector<ModelDescription> models_;
    int selected_ = -1;
    int frequency_ = 0;
};

// A chosen model becomes the project's: its name the model name, its frequency the
// frequencyRegion, its ModelTable code the driveModelCode (kept when the table lacks the
// name); the project path is cleared for the new project.
void applyModelChoice(AppState& state, const ModelChoice& choice);

} // namespace kvd
