#include "ParameterWindow.h"

#include "GroupWriter.h"
#include "MainFrame.h"
#include "ResourceLibrary.h"
#include "TransferCommands.h"
#include "params/ParamRules.h"
#include "reports/CQ770View.h"
#include "resources/StringIds.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kvd {
namespace {

constexpr int kParameterDialog = 133;
constexpr int kKeyboardDialog = 137;

// A dialog's text from the resource library, else the program's own.
QString dialogText(int dialog, unsigned control, const char* fallback) {
    const QString t = ResourceLibrary::instance().dialogText(dialog, control);
    return t.isEmpty() ? QString::fromUtf8(fallback) : t;
}

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

SmallKeyboard::SmallKeyboard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dialog%1").arg(kKeyboardDialog));
    setWindowTitle(dialogText(kKeyboardDialog, 0, "Small Keyboard'"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    // Controls 1046 to 1056 in this order, laid out as a number pad.
    const QString keys = QStringLiteral("7894561230.");
    for (int k = 0; k < keys.size(); ++k) {
        const QChar c = keys[k];
        auto* key = new QPushButton(QString(c), this);
        key->setObjectName(QStringLiteral("control%1").arg(kFirstKeyId + k));
        key->setFocusPolicy(Qt::NoFocus); // the field keeps the focus
        key->setAutoDefault(false);
        connect(key, &QPushButton::clicked, this, [this, c] { emit typed(c); });
        grid->addWidget(key, k / 3, k % 3);
        keys_.append(key);
    }
}

QPushButton* SmallKeyboard::key(QChar c) const {
    for (QPushButton* k : keys_)
        if (k->text() == QString(c))
            return k;
    return nullptr;
}

ParameterSetDialog::ParameterSetDialog(PageContext& context, int group, int highlight,
                                       GroupWrite write, QWidget* parent)
    : QDialog(parent), context_(context), group_(group), write_(std::move(write)) {
    setObjectName(QStringLiteral("dialog%1").arg(kParameterDialog));
    setWindowTitle(resText(ids::ParameterWindowTitle));

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("control%1").arg(kTabControl));
    const auto& groups = context_.doc.groups();
    const QString groupName =
        static_cast<std::size_t>(group) < groups.size()
            ? QString::fromStdString(groups[static_cast<std::size_t>(group)].name)
            : QString();
    const auto specs = groupPages(group);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        auto* page = new GroupPage(specs[i], context_, tabs_);
        const QString text = qs(specs[i].tabText);
        tabs_->addTab(page, i == 0 ? groupName + text : text);
        pages_.append(page);
        connect(page, &GroupPage::showRequested, this,
                [this, page] { tabs_->setCurrentWidget(page); });
        connect(page, &GroupPage::fieldPressed, this,
                [this](QLineEdit* field) { setKeyboardTarget(field, field->cursorPosition(), 0); });
        connect(page, &GroupPage::fieldReleased, this, [this](QLineEdit* field) {
            if (field->hasSelectedText())
                setKeyboardTarget(field, field->selectionStart(),
                                  static_cast<int>(field->selectedText().size()));
            else
                setKeyboardTarget(field, field->cursorPosition(), 0);
        });
    }
    const int shown = std::max(pageIndexOfPosition(group, highlight), 0);
    if (GroupPage* page = pages_.value(shown)) {
        if (highlight >= 0)
            page->setHighlight(highlight);
        tabs_->setCurrentIndex(shown);
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (GroupPage* page = pages_.value(index))
            page->setFocus(Qt::TabFocusReason);
    });

    const auto button = [this](unsigned id, const char* fallback) {
        auto* b = new QPushButton(dialogText(kParameterDialog, id, fallback), this);
        b->setObjectName(QStringLiteral("control%1").arg(id));
        b->setAutoDefault(false);
        return b;
    };
    transmit_ = button(kTransmitButton, "Transmit Group");
    keyboardButton_ = button(kKeyboardButton, "Small Keyboard");
    ok_ = button(1, "OK");
    cancel_ = button(2, "Cancel");
    transmit_->setEnabled(context_.state.connected);
    connect(transmit_, &QPushButton::clicked, this, [this] { transmit(); });
    connect(keyboardButton_, &QPushButton::clicked, this, [this] { showKeyboard(); });
    connect(ok_, &QPushButton::clicked, this, &ParameterSetDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &ParameterSetDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(transmit_);
    buttons->addWidget(keyboardButton_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);
}

bool ParameterSetDialog::checkPages() {
    // checkPage brings its own tab to the front before it marks a field.
    for (GroupPage* page : pages_)
        if (!page->checkPage())
            return false;
    return true;
}

void ParameterSetDialog::accept() {
    if (!checkPages())
        return;
    for (GroupPage* page : pages_)
        page->storePage();
    if (context_.groupChanged)
        context_.groupChanged(group_);
    closeKeyboard();
    QDialog::accept();
}

void ParameterSetDialog::reject() {
    closeKeyboard();
    QDialog::reject();
}

bool ParameterSetDialog::transmit() {
    const auto station = prepareTransmit(context_);
    if (!station || !checkPages())
        return false;

    // One text per item of the group: the pages' values where a page can change them, the
    // project's own elsewhere (read-only items, 13-09, F_31), which the group write skips.
    const auto& items = context_.doc.groups()[static_cast<std::size_t>(group_)].items;
    const auto specs = groupSpecs(group_);
    std::vector<std::string> values;
    for (std::size_t p = 0; p < items.size(); ++p)
        values.push_back(
            p < specs.size()
                ? transmitText(specs[p], items[p].editValue).value_or(items[p].editValue)
                : items[p].editValue);
    std::vector<std::pair<GroupPage*, int>> sent;
    for (GroupPage* page : pages_) {
        for (int r = 0; r < page->rowCount(); ++r) {
            const PageRow& row = page->entry().rows[static_cast<std::size_t>(r)];
            const auto position = static_cast<std::size_t>(page->entry().firstPosition + r);
            const auto text = page->valueText(r);
            if (!row.inProject() || row.readOnly() || !text || position >= values.size())
                continue;
            const ParamSpec& entry = rowSpec(page->entry(), r);
            page->cache(r).text = *text;
            values[position] = transmitText(entry, *text).value_or(*text);
            if (isGroupWritten(entry) && existsOnDrive(entry, context_.doc.driveVersion()))
                sent.emplace_back(page, r);
        }
    }
    if (!transmitGroup(context_, write_, group_, values, *station))
        return false;
    // The drive holds what the group write sent: OK must not mark those as changed again.
    for (const auto& [page, r] : sent)
        page->cache(r).written = true;
    return true;
}

void ParameterSetDialog::showKeyboard() {
    if (!keyboard_) {
        keyboard_ = new SmallKeyboard(this);
        keyboard_->setAttribute(Qt::WA_DeleteOnClose);
        connect(keyboard_, &SmallKeyboard::typed, this, [this](QChar c) { typeKey(c); });
    }
    keyboard_->show();
    if (target_)
        target_->setFocus(Qt::OtherFocusReason);
}

void ParameterSetDialog::setKeyboardTarget(QLineEdit* field, int selectionStart,
                                           int selectionLength) {
    target_ = field;
    selectionStart_ = selectionStart;
    selectionLength_ = selectionLength;
}

bool ParameterSetDialog::typeKey(QChar c) {
    if (!target_ || !target_->isEnabled())
        return false;
    const QString before = target_->text();
    const int start = std::clamp(selectionStart_, 0, static_cast<int>(before.size()));
    const int length = std::clamp(selectionLength_, 0, static_cast<int>(before.size()) - start);
    QString after = before;
    after.replace(start, length, c);
    int caret = start + 1;
    if (const QValidator* check = target_->validator()) {
        if (check->validate(after, caret) == QValidator::Invalid)
            return false;
    }
    if (after == before && length == 0)
        return false; // the check dropped the character again
    target_->setText(after);
    caret = std::min(start + 1, static_cast<int>(after.size()));
    target_->setCursorPosition(caret);
    target_->setFocus(Qt::OtherFocusReason);
    setKeyboardTarget(target_, caret, 0);
    return true;
}

void ParameterSetDialog::closeKeyboard() {
    if (keyboard_)
        keyboard_->close();
}

void openParameterSet(CMainFrame& frame, int group, int position) {
    CQ770Doc* doc = frame.document();
    if (!doc || group < 0 || static_cast<std::size_t>(group) >= doc->groups().size())
        return;
    DialogStationChooser stations(&frame);
    PageContext context{frame.state(), *doc, frame.prompter(), stations, [&frame](int g) {
                            if (CQ770View* view = frame.view())
                                view->refreshGroup(g);
                        }};
    ParameterSetDialog dialog(context, group, position, writeGroup, &frame);
    dialog.exec();
}

} // namespace kvd
