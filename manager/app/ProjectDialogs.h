// The windows the project commands ask through: file dialogs and model selection (131).
#pragma once

#include "DocumentHost.h"

class QWidget;

namespace kvd {

class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : parent_(parent) {}
    QString openPath(const FileFilter& filter) override;
    QString savePath(const QString& suggested, const FileFilter& filter) override;

private:
    QWidget* parent_;
};

class ModelSelectDialog : public ModelChooser {
public:
    explicit ModelSelectDialog(QWidget* parent) : parent_(parent) {}
    std::optional<ModelChoice> chooseModel(ModelSelection& selection) override;

private:
    QWidget* parent_;
};

} // namespace kvd
