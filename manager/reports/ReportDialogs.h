// The two small dialogs of the parameter list: 199 chooses the basic or the advanced
// parameter set, 161 sets the title, department and name of the printout.
#pragma once

#include "ParamPrinter.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QRadioButton;

namespace kvd {

class Prompter;

// Dialog 199 "Parameter Select".
class ParameterSelectDialog : public QDialog {
    Q_OBJECT
public:
    ParameterSelectDialog(bool fullParameterSet, QWidget* parent = nullptr);
    bool fullParameterSet() const;
    void setFullParameterSet(bool on);

    // Runs the dialog: the chosen set on OK, nothing on Cancel.
    static std::optional<bool> choose(bool fullParameterSet, QWidget* parent);

private:
    QRadioButton* basic_ = nullptr;
    QRadioButton* advanced_ = nullptr;
};

// Dialog 161 "Print Title Set". OK with a title or name longer than kPrintTextLimit bytes
// shows 61524 and keeps the dialog open.
class PrintTitleDialog : public QDialog {
    Q_OBJECT
public:
    PrintTitleDialog(const PrintTexts& texts, Prompter& prompter, QWidget* parent = nullptr);
    PrintTexts texts() const;
    void setTexts(const PrintTexts& texts);

    // Runs the dialog and stores the texts in `texts` on OK; false on Cancel.
    static bool edit(PrintTexts& texts, Prompter& prompter, QWidget* parent);

public slots:
    void accept() override;

private:
    Prompter& prompter_;
    QLineEdit* title_ = nullptr;
    QLineEdit* department_ = nullptr;
    QLineEdit* name_ = nullptr;
};

} // namespace kvd
