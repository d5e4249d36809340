#include "QtPrompter.h"

#include "ProgressWindow.h"
#include "ResourceLibrary.h"
#include "resources/StringIds.h"

#include <QMessageBox>

namespace kvd {
namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPrompter::message(int stringId, const QStringList& args, Icon icon) {
    messageText(ResourceLibrary::instance().format(stringId, args), icon);
}

void QtPrompter::messageText(const QString& text, Icon icon) {
    QMessageBox box(boxIcon(icon), resText(ids::MainTitle), text, QMessageBox::Ok, parent_);
    box.exec();
}

Answer QtPrompter::ask(int stringId, Buttons buttons, const QStringList& args, Icon icon) {
    QMessageBox::StandardButtons b = QMessageBox::Ok;
    switch (buttons) {
    case Buttons::Ok:
        b = QMessageBox::Ok;
        break;
    case Buttons::OkCancel:
        b = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        b = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(boxIcon(icon), resText(ids::MainTitle),
                    ResourceLibrary::instance().format(stringId, args), b, parent_);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

void QtPrompter::progressStart(int maximum) {
    if (progress_)
        progress_->start(maximum);
}

void QtPrompter::progressStep(int value, const QString& caption, const QString& text) {
    if (progress_)
        progress_->step(value, caption, text);
}

void QtPrompter::progressEnd() {
    if (progress_)
        progress_->finish();
}

} // namespace kvd
