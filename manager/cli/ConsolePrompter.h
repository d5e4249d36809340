// The Prompter of the command line: every message and question goes to standard error as the
// program's own text; questions are answered from the command line (--yes), never from the
// keyboard, so a script can run unattended. Progress is a line that rewrites itself, shown
// only when standard error is a terminal.
#pragma once

#include "app/Prompter.h"

#include <QString>

#include <cstdio>

namespace kvd::cli {

class ConsolePrompter : public Prompter {
public:
    // `out` is where everything goes (standard error); `progressLine` whether progress is
    // shown on it.
    explicit ConsolePrompter(std::FILE* out, bool progressLine);

    // Questions are answered Yes (or OK) instead of the safe No (or Cancel).
    void setAnswerYes(bool yes) { answerYes_ = yes; }
    // Messages that only report success ("Link successful!", "Write successful!") are left out.
    void setQuiet(bool quiet) { quiet_ = quiet; }

    void message(int stringId, const QStringList& args = {}, Icon icon = Icon::Warning) override;
    void messageText(const QString& text, Icon icon = Icon::Warning) override;
    Answer ask(int stringId, Buttons buttons, const QStringList& args = {},
               Icon icon = Icon::Question) override;

    void progressStart(int maximum) override;
    void progressStep(int value, const QString& caption, const QString& text) override;
    void progressEnd() override;

    // A line of the tool's own (a summary, a usage error), kept clear of the progress line.
    void line(const QString& text);

private:
    void clearProgress();

    std::FILE* out_;
    bool progressLine_;
    bool progressShown_ = false;
    bool answerYes_ = false;
    bool quiet_ = false;
    int progressMaximum_ = 0;
};

} // namespace kvd::cli
