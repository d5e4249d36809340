// Messages and questions as message boxes, progress in the progress window.
#pragma once

#include "Prompter.h"

class QWidget;

namespace kvd {

class ProgressWindow;

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent) : parent_(parent) {}
    void setProgressWindow(ProgressWindow* w) { progress_ = w; }
    void message(int stringId, const QStringList& args, Icon icon) override;
    void messageText(const QString& text, Icon icon) override;
    Answer ask(int stringId, Buttons buttons, const QStringList& args, Icon icon) override;
    void progressStart(int maximum) override;
    void progressStep(int value, const QString& caption, const QString& text) override;
    void progressEnd() override;

private:
    QWidget* parent_;
    ProgressWindow* progress_ = nullptr;
};

} // namespace kvd
