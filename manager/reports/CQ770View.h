// The view of a project window: the parameter list, group by group, with the factory setting
// and the current value, and the view's commands (parameter selection, print title, print,
// direct print, print preview). The main frame routes those commands here; closing the
// project is the document's SaveModified.
#pragma once

#include "ParamPrinter.h"
#include "ParamTableModel.h"

#include <QTableView>

namespace kvd {

class CQ770Doc;
class DocumentHost;
class Prompter;
struct AppState;

class CQ770View : public QTableView {
    Q_OBJECT
public:
    CQ770View(CQ770Doc& doc, AppState& state, DocumentHost& host, Prompter& prompter,
              QWidget* parent = nullptr);

    CQ770Doc& document() { return doc_; }
    ParamTableModel& listModel() { return model_; }
    // Title, department and name of the printout, kept for the life of the view.
    PrintTexts& printTexts() { return printTexts_; }

    // A project window opens: fill the list, focus it, select row 0.
    void initialUpdate();
    // Lists the groups of the state's parameter set and group selection.
    void fill();
    // The project tree chose a group (-1: all groups): lists it unless it is listed already,
    // then focuses the list and clears its selection. True when the list was filled again.
    bool showGroupSelection(int groupSelection);
    // Focus in the list, no row selected.
    void clearItemSelection();
    // After a read: the values of one group, or of every listed group.
    void refreshGroup(int group);
    void refreshListed();
    // An automatic-update cycle completed: the drive's values replace the edits, so no item
    // stays marked as modified.
    void refreshAfterUpdate();
    // The outcome of dialog 199: a changed set rebuilds the project tree and lists all groups
    // of the new set with row 0 selected. False when nothing changed.
    bool applyParameterSet(bool fullParameterSet);

public slots:
    void onParameterSelect(); // 32806, dialog 199
    void onPrintTitle();      // 32796, dialog 161
    void onPrint();           // 57607
    void onPrintDirect();     // 57608
    void onPrintPreview();    // 57609

signals:
    // A parameter row was double-clicked: open the tabbed parameter set on it.
    void editRequested(int group, int item);

private:
    void onDoubleClicked(const QModelIndex& index);
    void selectFirstRow();

    CQ770Doc& doc_;
    AppState& state_;
    DocumentHost& host_;
    Prompter& prompter_;
    ParamTableModel model_;
    PrintTexts printTexts_;
};

} // namespace kvd
