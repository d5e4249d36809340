// One group edit page, built from its description in the page table: per row a button that
// writes the row to a drive, the parameter's label, its input control and its range text. The
// tabbed parameter window creates the pages of one group, checks and stores them.
#pragma once

#include "RowWriter.h"
#include "params/InputCheck.h"
#include "params/PageTable.h"

#include <QList>
#include <QValidator>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace kvd {

// The input check of an edit field while the user types (see FieldInput).
class FieldValidator : public QValidator {
    Q_OBJECT
public:
    FieldValidator(const FieldInput& input, QObject* parent);
    State validate(QString& text, int& pos) const override;
    const FieldInput& input() const { return input_; }

private:
    FieldInput input_;
};

class GroupPage : public QWidget {
    Q_OBJECT
public:
    // Control ids of a row's button and label; lists and edit fields count on from their
    // first id in row order.
    static constexpr int kFirstButtonId = 1005;
    static constexpr int kFirstLabelId = 1015;
    static constexpr int kFirstListId = 1025;
    static constexpr int kFirstEditId = 1034;
    static constexpr int kButtonBitmap = 152;

    GroupPage(const PageSpec& entry, PageContext& context, QWidget* parent = nullptr);

    const PageSpec& entry() const { return entry_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }

    // The item position (in the group) whose label is drawn in red; -1 for none.
    void setHighlight(int position);
    int highlight() const { return highlight_; }

    // Shows the project's values.
    void loadPage();
    // Every writable row must hold a value within its range; the first that does not gets
    // the focus with its text selected, and "Beyond the range!" is shown. Passing edit
    // values are rewritten in their format.
    bool checkPage();
    // Puts every row's value into the project; an item is marked modified when its value
    // differs from what this window last wrote to a drive from the row, or else from the
    // project's value.
    void storePage();

    // The row's value text as the project keeps it; empty when the control holds no value.
    std::optional<std::string> valueText(int row) const;
    RowCache& cache(int row) { return rows_[static_cast<std::size_t>(row)].cache; }

    // The row button.
    RowWriteResult writeRow(int row);

    QAbstractButton* rowButton(int row) const;
    QLabel* rowLabel(int row) const;
    QLabel* rangeLabel(int row) const;
    QLineEdit* rowEdit(int row) const;                  // edit rows
    QComboBox* rowList(int row) const;                  // list rows
    const QList<QComboBox*>& digitLists(int row) const; // digit rows
    // The control that takes the focus for the row.
    QWidget* rowControl(int row) const;

signals:
    // A failing check is about to mark one of this page's fields: the page must be shown.
    void showRequested();
    // A left button press in an edit field: the small keyboard types there.
    void fieldPressed(QLineEdit* field);
    // The button's release: the field's selection is the one to type over.
    void fieldReleased(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        QAbstractButton* button = nullptr;
        QLabel* label = nullptr;
        QLabel* range = nullptr;
        QLineEdit* edit = nullptr;
        QComboBox* list = nullptr;
        QList<QComboBox*> digits;
        RowCache cache;
    };

    void buildRow(int row, QGridLayout* grid, int& lists, int& edits);
    // What the control holds, before any reformatting.
    std::optional<std::string> controlText(int row) const;
    void markField(int row);
    void applyRunSourceTie();
    void paintLabels();
    ParamItem* item(int row) const;

    const PageSpec& entry_;
    PageContext& context_;
    std::vector<Row> rows_;
    int highlight_ = -1;
};

} // namespace kvd
