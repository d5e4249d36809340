// Messages and questions as message boxes, progress in the progress window.
#pragma once

#include "Prompter.h"

class QWidget;

namespace kvd {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent) : parent_(parent) {}
    void message(int stringId, const QStringList& args, Icon icon) override;
    void messageText(const QString& text, Icon icon) override;
    Answer ask(int stringId, Buttons buttons, const QStringList& args, Icon icon) override;

private:
    QWidget* parent_;
};

} // namespace kvd
