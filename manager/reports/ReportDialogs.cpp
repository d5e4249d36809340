#include "ReportDialogs.h"

#include "app/Prompter.h"
#include "app/ResourceLibrary.h"
#include "resources/StringIds.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvd {

namespace {

// OK and Cancel with the dialog's own texts.
QDialogButtonBox* okCancel(QDialog* dialog, int dialogId) {
    const ResourceLibrary& r = ResourceLibrary::instance();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(r.dialogText(dialogId, 1));
    buttons->button(QDialogButtonBox::Cancel)->setText(r.dialogText(dialogId, 2));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QString controlName(const char* kind, int id) {
    return QString::fromLatin1(kind) + QString::number(id);
}

} // namespace

ParameterSelectDialog::ParameterSelectDialog(bool fullParameterSet, QWidget* parent)
    : QDialog(parent) {
    const ResourceLibrary& r = ResourceLibrary::instance();
    setObjectName(controlName("dialog", ids::DialogParameterSelect));
    setWindowTitle(r.dialogText(ids::DialogParameterSelect, 0));
    basic_ =
        new QRadioButton(r.dialogText(ids::DialogParameterSelect, ids::BasicParametersRadio), this);
    basic_->setObjectName(controlName("radio", ids::BasicParametersRadio));
    advanced_ = new QRadioButton(
        r.dialogText(ids::DialogParameterSelect, ids::AdvancedParametersRadio), this);
    advanced_->setObjectName(controlName("radio", ids::AdvancedParametersRadio));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(basic_);
    layout->addWidget(advanced_);
    layout->addWidget(okCancel(this, ids::DialogParameterSelect));
    setFullParameterSet(fullParameterSet);
}

bool ParameterSelectDialog::fullParameterSet() const {
    return advanced_->isChecked();
}

void ParameterSelectDialog::setFullParameterSet(bool on) {
    (on ? advanced_ : basic_)->setChecked(true);
}

std::optional<bool> ParameterSelectDialog::choose(bool fullParameterSet, QWidget* parent) {
    ParameterSelectDialog dialog(fullParameterSet, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.fullParameterSet();
}

PrintTitleDialog::PrintTitleDialog(const PrintTexts& texts, Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
    const ResourceLibrary& r = ResourceLibrary::instance();
    setObjectName(controlName("dialog", ids::DialogPrintTitle));
    setWindowTitle(r.dialogText(ids::DialogPrintTitle, 0));
    auto* form = new QFormLayout;
    const auto addEdit = [&](int id) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(controlName("edit", id));
        form->addRow(r.dialogText(ids::DialogPrintTitle, static_cast<unsigned>(id)), edit);
        return edit;
    };
    title_ = addEdit(ids::PrintTitleEdit);
    department_ = addEdit(ids::PrintDepartmentEdit);
    name_ = addEdit(ids::PrintNameEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this, ids::DialogPrintTitle));
    setTexts(texts);
}

PrintTexts PrintTitleDialog::texts() const {
    return {title_->text(), department_->text(), name_->text()};
}

void PrintTitleDialog::setTexts(const PrintTexts& texts) {
    title_->setText(texts.title);
    department_->setText(texts.department);
    name_->setText(texts.name);
}

void PrintTitleDialog::accept() {
    if (const int message = checkPrintTexts(texts())) {
        prompter_.message(message);
        return;
    }
    QDialog::accept();
}

bool PrintTitleDialog::edit(PrintTexts& texts, Prompter& prompter, QWidget* parent) {
    PrintTitleDialog dialog(texts, prompter, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    texts = dialog.texts();
    return true;
}

} // namespace kvd
