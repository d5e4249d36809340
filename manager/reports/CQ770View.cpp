#include "CQ770View.h"

#include "PrintCommands.h"
#include "ReportDialogs.h"
#include "app/AppState.h"
#include "app/CQ770Doc.h"
#include "app/DocumentHost.h"

#include <QHeaderView>

namespace kvd {

CQ770View::CQ770View(CQ770Doc& doc, AppState& state, DocumentHost& host, Prompter& prompter,
                     QWidget* parent)
    : QTableView(parent), doc_(doc), state_(state), host_(host), prompter_(prompter), model_(doc),
      printTexts_(PrintTexts::initial()) {
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalHeader()->hide();
    // The column header is a caption only: no sorting, no resizing by the mouse.
    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < ParamTableModel::ColumnCount; ++c)
        setColumnWidth(c, ParamTableModel::columnWidth(c));
    setColumnHidden(ParamTableModel::ColumnHidden, true);
    connect(this, &QAbstractItemView::doubleClicked, this, &CQ770View::onDoubleClicked);
}

void CQ770View::initialUpdate() {
    fill();
    setFocus();
    selectFirstRow();
}

void CQ770View::fill() {
    model_.fill(state_.fullParameterSet, state_.groupSelection);
}

bool CQ770View::showGroupSelection(int groupSelection) {
    const bool changed = groupSelection != state_.groupSelection;
    if (changed) {
        state_.groupSelection = groupSelection;
        fill();
    }
    clearItemSelection();
    return changed;
}

void CQ770View::clearItemSelection() {
    setFocus();
    clearSelection();
}

void CQ770View::refreshGroup(int group) {
    model_.refreshGroup(group);
}

void CQ770View::refreshListed() {
    model_.refreshListed();
}

void CQ770View::refreshAfterUpdate() {
    doc_.clearModifiedMarks();
    model_.refreshListed();
}

bool CQ770View::applyParameterSet(bool fullParameterSet) {
    if (!kvd::applyParameterSet(state_, fullParameterSet))
        return false;
    host_.rebuildProjectTree();
    fill();
    setFocus();
    selectFirstRow();
    return true;
}

void CQ770View::onParameterSelect() {
    if (const auto chosen = ParameterSelectDialog::choose(state_.fullParameterSet, this))
        applyParameterSet(*chosen);
}

void CQ770View::onPrintTitle() {
    PrintTitleDialog::edit(printTexts_, prompter_, this);
}

void CQ770View::onPrint() {
    printProject(this, doc_, printTexts_, prompter_, true);
}

void CQ770View::onPrintDirect() {
    printProject(this, doc_, printTexts_, prompter_, false);
}

void CQ770View::onPrintPreview() {
    previewProject(this, doc_, printTexts_, prompter_);
}

void CQ770View::onDoubleClicked(const QModelIndex& index) {
    // Header rows (row 0 is always one) map to no item and open nothing.
    if (const auto ref = model_.itemAt(index.row()))
        emit editRequested(ref->group, ref->item);
}

void CQ770View::selectFirstRow() {
    if (model_.rowCount() > 0)
        selectRow(0);
}

} // namespace kvd
