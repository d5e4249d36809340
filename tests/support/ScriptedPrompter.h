// A Prompter for tests: records every message, question and progress step, and answers
// questions from a planned list. A question nobody planned for is recorded in `unplanned`
// and answered with `whenUnplanned` (Cancel unless set), so a test can tell it happened.
#pragma once

#include "app/Prompter.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <initializer_list>
#include <vector>

namespace kvdtest {

class ScriptedPrompter : public kvd::Prompter {
public:
    struct Message {
        int id = 0; // 0 for a composed text
        QStringList args;
        QString text;
        kvd::Icon icon = kvd::Icon::None;
    };
    struct Question {
        int id = 0;
        kvd::Buttons buttons = kvd::Buttons::Ok;
        QStringList args;
        kvd::Icon icon = kvd::Icon::None;
    };
    struct Step {
        int value = 0;
        QString caption;
        QString text;
    };

    // Answers for the next questions, in order.
    void plan(std::initializer_list<kvd::Answer> answers) {
        answers_.insert(answers_.end(), answers.begin(), answers.end());
    }
    std::size_t plannedLeft() const { return answers_.size(); }

    void message(int stringId, const QStringList& args, kvd::Icon icon) override {
        messages.push_back({stringId, args, {}, icon});
    }
    void messageText(const QString& text, kvd::Icon icon) override {
        messages.push_back({0, {}, text, icon});
    }
    kvd::Answer ask(int stringId, kvd::Buttons buttons, const QStringList& args,
                    kvd::Icon icon) override {
        questions.push_back({stringId, buttons, args, icon});
        if (answers_.empty()) {
            ++unplanned;
            return whenUnplanned;
        }
        const kvd::Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    void progressStart(int maximum) override {
        progressMaximum = maximum;
        progressShown = true;
    }
    void progressStep(int value, const QString& caption, const QString& text) override {
        steps.push_back({value, caption, text});
    }
    void progressEnd() override { progressShown = false; }

    // The ids of the messages so far, in order (0 for composed texts).
    std::vector<int> messageIds() const {
        std::vector<int> ids;
        for (const Message& m : messages)
            ids.push_back(m.id);
        return ids;
    }
    std::vector<int> questionIds() const {
        std::vector<int> ids;
        for (const Question& q : questions)
            ids.push_back(q.id);
        return ids;
    }
    void clear() {
        messages.clear();
        questions.clear();
        steps.clear();
        answers_.clear();
        unplanned = 0;
    }

    std::vector<Message> messages;
    std::vector<Question> questions;
    std::vector<Step> steps;
    int unplanned = 0;
    kvd::Answer whenUnplanned = kvd::Answer::Cancel;
    int progressMaximum = 0;
    bool progressShown = false;

private:
    std::deque<kvd::Answer> answers_;
};

} // namespace kvdtest
