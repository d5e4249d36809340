#include "GroupPage.h"

#include "ResourceLibrary.h"
#include "params/ValueText.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace kvd {
namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr std::string_view kBinaryDigits[] = {"0", "1"};
constexpr std::string_view kFixedDigit[] = {"0"};
constexpr std::string_view kOctalDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7"};

QComboBox* newList(std::span<const std::string_view> options, QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (std::string_view o : options)
        list->addItem(qs(o));
    return list;
}

} // namespace

FieldValidator::FieldValidator(const FieldInput& input, QObject* parent)
    : QValidator(parent), input_(input) {}

QValidator::State FieldValidator::validate(QString& text, int& pos) const {
    const auto kept = input_.accept(text.toStdString());
    if (!kept)
        return Invalid;
    const QString k = QString::fromStdString(*kept);
    if (k != text) {
        text = k;
        pos = std::min(pos, static_cast<int>(text.size()));
    }
    return Acceptable;
}

GroupPage::GroupPage(const PageSpec& entry, PageContext& context, QWidget* parent)
    : QWidget(parent), entry_(entry), context_(context), rows_(entry.rows.size()) {
    setObjectName(QStringLiteral("dialog%1").arg(entry.dialogId));
    setFont(QFont(QStringLiteral("Tahoma"), 10));
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);
    outer->addStretch(1);
    int lists = 0;
    int edits = 0;
    for (int r = 0; r < rowCount(); ++r)
        buildRow(r, grid, lists, edits);
    loadPage();
}

void GroupPage::buildRow(int r, QGridLayout* grid, int& lists, int& edits) {
    const PageRow& pr = entry_.rows[static_cast<std::size_t>(r)];
    const ParamSpec& ps = rowSpec(entry_, r);
    Row& row = rows_[static_cast<std::size_t>(r)];

    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("control%1").arg(kFirstButtonId + r));
    button->setAutoRaise(false);
    connect(button, &QToolButton::clicked, this, [this, r] { writeRow(r); });
    row.button = button;
    grid->addWidget(button, r, 0);

    row.label = new QLabel(this);
    row.label->setObjectName(QStringLiteral("control%1").arg(kFirstLabelId + r));
    grid->addWidget(row.label, r, 1);

    QWidget* control = nullptr;
    if (pr.isList()) {
        row.list = newList(pr.options, this);
        row.list->setObjectName(QStringLiteral("control%1").arg(kFirstListId + lists++));
        row.list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        row.list->setMinimumContentsLength(14);
        control = row.list;
    } else if (pr.isDigits()) {
        auto* box = new QWidget(this);
        auto* digits = new QGridLayout(box);
        digits->setContentsMargins(0, 0, 0, 0);
        for (int d = 0; d < kDigitCount; ++d) {
            std::span<const std::string_view> options = kOctalDigits;
            if (pr.control == RowControl::BinaryDigits)
                options = (d == 0 && pr.firstDigitFixed())
                              ? std::span<const std::string_view>(kFixedDigit)
                              : kBinaryDigits;
            QComboBox* list = newList(options, box);
            list->setObjectName(QStringLiteral("digit%1").arg(d));
            if (!pr.digitLabels.empty())
                digits->addWidget(new QLabel(qs(pr.digitLabels[static_cast<std::size_t>(d)]), box),
                                  0, d, Qt::AlignHCenter);
            digits->addWidget(list, 1, d);
            row.digits.append(list);
        }
        control = box;
    } else {
        row.edit = new QLineEdit(this);
        row.edit->setObjectName(QStringLiteral("control%1").arg(kFirstEditId + edits++));
        if (pr.control != RowControl::TextEdit)
            row.edit->setValidator(new FieldValidator(
                FieldInput::forSpec(ps, context_.state.driveModelCode), row.edit));
        if (pr.masked())
            row.edit->setEchoMode(QLineEdit::Password);
        row.edit->installEventFilter(this);
        control = row.edit;
        if (!(pr.flags & rowflag::NoRange)) {
            row.range = new QLabel(this);
            grid->addWidget(row.range, r, 3);
        }
    }
    control->setEnabled(!pr.readOnly());
    grid->addWidget(control, r, 2);
}

ParamItem* GroupPage::item(int r) const {
    return context_.doc.item(entry_.group, entry_.firstPosition + r);
}

void GroupPage::loadPage() {
    QPixmap picture;
    picture.loadFromData(ResourceLibrary::instance().image(kButtonBitmap));
    for (int r = 0; r < rowCount(); ++r) {
        Row& row = rows_[static_cast<std::size_t>(r)];
        const PageRow& pr = entry_.rows[static_cast<std::size_t>(r)];
        const ParamSpec& ps = rowSpec(entry_, r);
        row.button->setIcon(QIcon(picture));
        const ParamItem* it = item(r);
        row.label->setText(it ? QString::fromStdString(it->label) : qs(ps.code));
        if (row.range)
            row.range->setText(
                QString::fromStdString(rangeText(ps, context_.state.driveModelCode)));
        if (!pr.inProject() || !it)
            continue;
        const std::string& value = it->editValue;
        if (row.list) {
            row.list->setCurrentIndex(listPosition(ps, pr, value));
        } else if (pr.isDigits()) {
            const std::vector<int> digits = digitPositions(ps, value);
            for (int d = 0; d < kDigitCount; ++d)
                row.digits[d]->setCurrentIndex(digits[static_cast<std::size_t>(d)] <
                                                       row.digits[d]->count()
                                                   ? digits[static_cast<std::size_t>(d)]
                                                   : -1);
        } else if (pr.control == RowControl::TextEdit) {
            row.edit->setText(QString::fromStdString(value));
        } else {
            row.edit->setText(QString::fromStdString(normalizedText(ps, value).value_or(value)));
        }
    }
    applyRunSourceTie();
    paintLabels();
}

void GroupPage::applyRunSourceTie() {
    if (!entry_.readsRunSource)
        return;
    for (int r = 0; r < rowCount(); ++r)
        if (rowSpec(entry_, r).code == "00-01" && rows_[static_cast<std::size_t>(r)].list)
            rows_[static_cast<std::size_t>(r)].list->setEnabled(context_.state.cachedRunSource ==
                                                                0);
}

void GroupPage::setHighlight(int position) {
    highlight_ = position;
    paintLabels();
}

void GroupPage::paintLabels() {
    for (int r = 0; r < rowCount(); ++r) {
        QLabel* label = rows_[static_cast<std::size_t>(r)].label;
        QPalette p = label->palette();
        const bool red = entry_.firstPosition + r == highlight_;
        p.setColor(QPalette::WindowText, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
        label->setPalette(p);
    }
}

std::optional<std::string> GroupPage::controlText(int r) const {
    const Row& row = rows_[static_cast<std::size_t>(r)];
    const PageRow& pr = entry_.rows[static_cast<std::size_t>(r)];
    const ParamSpec& ps = rowSpec(entry_, r);
    if (row.list)
        return listValueText(ps, pr, row.list->currentIndex());
    if (pr.isDigits()) {
        std::vector<int> positions;
        for (const QComboBox* d : row.digits)
            positions.push_back(d->currentIndex());
        return digitsText(positions);
    }
    const std::string text = row.edit->text().toStdString();
    if (text.empty())
        return std::nullopt;
    return text;
}

std::optional<std::string> GroupPage::valueText(int r) const {
    const auto text = controlText(r);
    if (!text || entry_.rows[static_cast<std::size_t>(r)].control == RowControl::TextEdit)
        return text;
    return normalizedText(rowSpec(entry_, r), *text);
}

void GroupPage::markField(int r) {
    QWidget* control = rowControl(r);
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (QLineEdit* edit = rows_[static_cast<std::size_t>(r)].edit)
        edit->selectAll(); // the caret at its end scrolls the whole text into view
}

bool GroupPage::checkPage() {
    for (int r = 0; r < rowCount(); ++r) {
        const PageRow& pr = entry_.rows[static_cast<std::size_t>(r)];
        if (pr.readOnly())
            continue;
        const ParamSpec& ps = rowSpec(entry_, r);
        const auto text = controlText(r);
        const auto value = text && inRange(ps, *text, context_.state.driveModelCode)
                               ? normalizedText(ps, *text)
                               : std::nullopt;
        if (!value || !rowWord(entry_, ps, *value)) {
            emit showRequested();
            markField(r);
            context_.prompter.message(ids::BeyondRange);
            return false;
        }
        if (QLineEdit* edit = rows_[static_cast<std::size_t>(r)].edit)
            edit->setText(QString::fromStdString(*value));
    }
    return true;
}

void GroupPage::storePage() {
    CQ770Doc& doc = context_.doc;
    for (int r = 0; r < rowCount(); ++r) {
        const PageRow& pr = entry_.rows[static_cast<std::size_t>(r)];
        ParamItem* it = item(r);
        // Read-only rows cannot have been changed here; their texts stay as read.
        if (!it || !pr.inProject() || pr.readOnly())
            continue;
        const auto text = valueText(r);
        if (!text)
            continue;
        const Row& row = rows_[static_cast<std::size_t>(r)];
        const std::string& reference = row.cache.written ? row.cache.text : it->editValue;
        if (*text != reference)
            doc.setModifiedMark(entry_.group, entry_.firstPosition + r, true);
        if (*text != it->editValue) {
            it->editValue = *text;
            doc.setModified();
        }
    }
}

RowWriteResult GroupPage::writeRow(int r) {
    RowInput input{controlText(r), [this, r] { markField(r); }};
    const RowWriteResult result =
        kvd::writeRow(context_, entry_, r, input, rows_[static_cast<std::size_t>(r)].cache);
    applyRunSourceTie();
    return result;
}

QAbstractButton* GroupPage::rowButton(int r) const {
    return rows_[static_cast<std::size_t>(r)].button;
}
QLabel* GroupPage::rowLabel(int r) const {
    return rows_[static_cast<std::size_t>(r)].label;
}
QLabel* GroupPage::rangeLabel(int r) const {
    return rows_[static_cast<std::size_t>(r)].range;
}
QLineEdit* GroupPage::rowEdit(int r) const {
    return rows_[static_cast<std::size_t>(r)].edit;
}
QComboBox* GroupPage::rowList(int r) const {
    return rows_[static_cast<std::size_t>(r)].list;
}
const QList<QComboBox*>& GroupPage::digitLists(int r) const {
    return rows_[static_cast<std::size_t>(r)].digits;
}

QWidget* GroupPage::rowControl(int r) const {
    const Row& row = rows_[static_cast<std::size_t>(r)];
    if (row.edit)
        return row.edit;
    if (row.list)
        return row.list;
    return row.digits.value(0);
}

bool GroupPage::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (press || event->type() == QEvent::MouseButtonRelease) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (press)
                emit fieldPressed(edit);
            else
                emit fieldReleased(edit);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kvd
