// The one way an operation talks to the user: messages and questions by string id, and
// progress. The program answers with message boxes and the progress window, tests with a
// scripted answerer, the command-line tool on standard error.
#pragma once

#include <QString>
#include <QStringList>

namespace kvd {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };
enum class Icon { None, Information, Warning, Error, Question };

class Prompter {
public:
    virtual ~Prompter() = default;

    // A message box with OK. `args` fill the printf-style fields of the string.
    virtual void message(int stringId, const QStringList& args = {}, Icon icon = Icon::Warning) = 0;
    // A message composed elsewhere (the collected text of a multi-step transfer).
    virtual void messageText(const QString& text, Icon icon = Icon::Warning) = 0;
    virtual Answer ask(int stringId, Buttons buttons, const QStringList& args = {},
                       Icon icon = Icon::Question) = 0;

    // Long operations: start with a range, step with the texts of the progress window
    // (caption and second line), end hides it. Implementations keep the window alive.
    virtual void progressStart(int maximum) { (void)maximum; }
    virtual void progressStep(int value, const QString& caption, const QString& text) {
        (void)value, (void)caption, (void)text;
    }
    virtual void progressEnd() {}
};

} // namespace kvd
