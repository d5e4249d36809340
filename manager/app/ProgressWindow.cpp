#include "ProgressWindow.h"

#include "ResourceLibrary.h"
#include "resources/StringIds.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace kvd {

ProgressWindow::ProgressWindow(QWidget* frame) : QDialog(frame), frame_(frame) {
    setObjectName(QStringLiteral("dialog167"));
    setModal(false);
    setWindowTitle(ResourceLibrary::instance().dialogText(ids::DialogProgress, 0));
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("1076"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("1381"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("1382"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(bar_);
    layout->addWidget(status_);
    resize(360, 110);
    hide();
}

void ProgressWindow::start(int maximum) {
    if (!isVisible()) {
        const QRect f = frame_->geometry();
        move(f.left() + f.width() / 3, f.bottom() - f.height() / 5);
    }
    bar_->setRange(0, maximum);
    bar_->setValue(0);
    show();
    raise();
    activateWindow();
    repaint();
}

void ProgressWindow::step(int value, const QString& caption, const QString& text) {
    bar_->setValue(value);
    if (!caption.isNull())
        caption_->setText(caption);
    if (!text.isNull())
        status_->setText(text);
    repaint();
    // Let the window paint and move without letting the user start another command.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::finish() {
    hide();
}

int ProgressWindow::value() const {
    return bar_->value();
}
int ProgressWindow::maximum() const {
    return bar_->maximum();
}
QString ProgressWindow::captionText() const {
    return caption_->text();
}
QString ProgressWindow::statusText() const {
    return status_->text();
}

} // namespace kvd
