#include "ProjectDialogs.h"

#include "ModelSelection.h"
#include "ResourceLibrary.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvd {
namespace {

QString filterText(const FileFilter& f) {
    return ResourceLibrary::instance().format(f.stringId, f.args);
}

} // namespace

QString QtFileChooser::openPath(const FileFilter& filter) {
    QFileDialog d(parent_);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setNameFilters(qtNameFilters(filterText(filter)));
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}

QString QtFileChooser::savePath(const QString& suggested, const FileFilter& filter) {
    QFileDialog d(parent_);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setNameFilters(qtNameFilters(filterText(filter)));
    d.setDefaultSuffix(filter.defaultSuffix); // the overwrite question sees the final name
    if (!suggested.isEmpty())
        d.selectFile(suggested);
    return d.exec() == QDialog::Accepted ? d.selectedFiles().value(0) : QString();
}

std::optional<ModelChoice> ModelSelectDialog::chooseModel(ModelSelection& selection) {
    const ResourceLibrary& r = ResourceLibrary::instance();
    QDialog d(parent_);
    d.setObjectName(QStringLiteral("dialog131"));
    d.setWindowTitle(r.dialogText(ids::DialogModelSelect, 0));
    auto* description = new QPlainTextEdit(&d);
    description->setObjectName(QStringLiteral("1003"));
    description->setReadOnly(true);
    auto* frequency = new QComboBox(&d);
    frequency->setObjectName(QStringLiteral("1001"));
    frequency->addItems(ModelSelection::frequencyItems());
    frequency->setCurrentIndex(selection.frequency());
    auto* model = new QComboBox(&d);
    model->setObjectName(QStringLiteral("1002"));
    model->addItems(selection.names());
    model->setCurrentIndex(selection.selected());
    description->setPlainText(selection.selectedDescription());
    QObject::connect(model, &QComboBox::currentIndexChanged, &d, [&](int row) {
        selection.select(row);
        description->setPlainText(selection.selectedDescription());
    });
    QObject::connect(frequency, &QComboBox::currentIndexChanged, &d,
                     [&](int i) { selection.setFrequency(i); });

    auto* form = new QFormLayout;
    form->addRow(r.dialogText(ids::DialogModelSelect, 1001), frequency);
    form->addRow(r.dialogText(ids::DialogModelSelect, 1002), model);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    buttons->button(QDialogButtonBox::Ok)->setText(r.dialogText(ids::DialogModelSelect, 1));
    buttons->button(QDialogButtonBox::Cancel)->setText(r.dialogText(ids::DialogModelSelect, 2));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(description);
    layout->addLayout(form);
    layout->addWidget(buttons);
    d.resize(420, 300);
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return selection.choice();
}

} // namespace kvd
