#include "ConsolePrompter.h"

#include "app/ResourceLibrary.h"

namespace kvd::cli {

ConsolePrompter::ConsolePrompter(std::FILE* out, bool progressLine)
    : out_(out), progressLine_(progressLine) {}

void ConsolePrompter::clearProgress() {
    if (progressShown_) {
        std::fputs("\r\033[K", out_);
        progressShown_ = false;
    }
}

void ConsolePrompter::line(const QString& text) {
    clearProgress();
    std::fputs((text + u'\n').toUtf8().constData(), out_);
    std::fflush(out_);
}

void ConsolePrompter::message(int stringId, const QStringList& args, Icon icon) {
    if (quiet_ && icon == Icon::Information)
        return;
    line(ResourceLibrary::instance().format(stringId, args));
}

void ConsolePrompter::messageText(const QString& text, Icon icon) {
    if (quiet_ && icon == Icon::Information)
        return;
    line(text);
}

Answer ConsolePrompter::ask(int stringId, Buttons buttons, const QStringList& args, Icon) {
    Answer answer = Answer::Ok;
    switch (buttons) {
    case Buttons::Ok:
        answer = Answer::Ok;
        break;
    case Buttons::OkCancel:
        answer = answerYes_ ? Answer::Ok : Answer::Cancel;
        break;
    case Buttons::YesNo:
        answer = answerYes_ ? Answer::Yes : Answer::No;
        break;
    case Buttons::YesNoCancel:
        answer = answerYes_ ? Answer::Yes : Answer::Cancel;
        break;
    }
    const char* word = answer == Answer::Yes  ? "yes"
                       : answer == Answer::No ? "no (--yes answers yes)"
                       : answer == Answer::Ok ? "ok"
                                              : "cancel (--yes answers yes)";
    line(ResourceLibrary::instance().format(stringId, args) + QStringLiteral(" -> ") +
         QLatin1String(word));
    return answer;
}

void ConsolePrompter::progressStart(int maximum) {
    progressMaximum_ = maximum;
}

void ConsolePrompter::progressStep(int value, const QString& caption, const QString& text) {
    if (!progressLine_)
        return;
    // The window's caption ends in "...,"; on one line the comma only gets in the way.
    QString title = caption.trimmed();
    if (title.endsWith(u','))
        title.chop(1);
    const QString shown =
        QStringLiteral("%1 [%2/%3] %4").arg(title).arg(value).arg(progressMaximum_).arg(text);
    std::fputs(("\r\033[K" + shown).toUtf8().constData(), out_);
    std::fflush(out_);
    progressShown_ = true;
}

void ConsolePrompter::progressEnd() {
    clearProgress();
    std::fflush(out_);
}

} // namespace kvd::cli
