// The tabbed parameter set (dialog 133): the pages of one group as tabs, OK storing them into
// the project, "Transmit Group" writing the group as shown to one drive, and the small
// keyboard (dialog 137) that types into the page field last clicked.
#pragma once

#include "GroupPage.h"
#include "RowWriter.h"

#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QPointer>

class QPushButton;
class QTabWidget;

namespace kvd {

class CMainFrame;

// Dialog 137: the keys "7" ... "0" and "." (controls 1046 to 1056).
class SmallKeyboard : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFirstKeyId = 1046;

    explicit SmallKeyboard(QWidget* parent);
    // The key of a character, null for one the keyboard lacks.
    QPushButton* key(QChar c) const;

signals:
    void typed(QChar c);

private:
    QList<QPushButton*> keys_;
};

class ParameterSetDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTabControl = 1004;
    static constexpr int kKeyboardButton = 1044;
    static constexpr int kTransmitButton = 1045;

    // `highlight` is the item position in the group to show in red, -1 for none. `write`
    // sends a group to a drive (writeGroup).
    ParameterSetDialog(PageContext& context, int group, int highlight, GroupWrite write,
                       QWidget* parent = nullptr);

    int group() const { return group_; }
    QTabWidget* tabs() const { return tabs_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    GroupPage* page(int index) const { return pages_.value(index); }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* transmitButton() const { return transmit_; }
    QPushButton* keyboardButton() const { return keyboardButton_; }
    // The keyboard window while it is open.
    SmallKeyboard* keyboard() const { return keyboard_; }

    // "Transmit Group". True when the group was written.
    bool transmit();
    // "Small Keyboard": opens the keyboard window (once) and focuses the keyboard's target.
    void showKeyboard();
    // Where the keyboard types: a page's edit field and the selection to type over.
    void setKeyboardTarget(QLineEdit* field, int selectionStart, int selectionLength);
    QLineEdit* keyboardTarget() const { return target_; }
    // A key of the keyboard: the character replaces the target's selection, if the field's
    // own input check takes the result. True when it did.
    bool typeKey(QChar c);

    // OK: every page checked, then stored; a failing page's tab comes to the front.
    void accept() override;
    void reject() override;

private:
    bool checkPages();
    void closeKeyboard();

    PageContext& context_;
    int group_;
    GroupWrite write_;
    QTabWidget* tabs_ = nullptr;
    QList<GroupPage*> pages_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* transmit_ = nullptr;
    QPushButton* keyboardButton_ = nullptr;
    QPointer<SmallKeyboard> keyboard_;
    QPointer<QLineEdit> target_;
    int selectionStart_ = 0;
    int selectionLength_ = 0;
};

// The group commands (32774 ... 32787, 32807) and the list view's double click: the window for
// the frame's project on `group`, with the item at `position` in red (-1 for none). Nothing
// happens without a project.
void openParameterSet(CMainFrame& frame, int group, int position);

} // namespace kvd
