// A stand-in for the modal message boxes in widget tests: records every box shown and answers questions
// from a queue. Install it for the length of a test with ScopedMessageBoxes.
#pragma once

#include "MessageBoxes.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <deque>
#include <functional>

namespace pavrin::controls::testing {

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text;
        Icon icon = Icon::None;
        QString title;
        bool question = false;
        Buttons buttons = Buttons::Ok;
        Answer answer = Answer::Ok;
        QPointer<QWidget> parent;
    };

    // Answers for the next questions, in order; when none is queued, `defaultAnswer` is given.
    std::deque<Answer> answers;
    Answer defaultAnswer = Answer::Yes;
    // Called while a box is "open" (after it is recorded), e.g. to look at the focus at that moment.
    std::function<void(const Shown&)> onShow;

    QList<Shown> shown;

    void ShowMessage(QWidget* parent, const QString& text, Icon icon, const QString& title) override {
        Record({text, icon, title, false, Buttons::Ok, Answer::Ok, parent});
    }

    Answer Ask(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
               const QString& title) override {
        Answer answer = defaultAnswer;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        Record({text, icon, title, true, buttons, answer, parent});
        return answer;
    }

    QStringList Texts() const {
        QStringList texts;
        for (const Shown& s : shown)
            texts << s.text;
        return texts;
    }
    QString LastText() const { return shown.isEmpty() ? QString() : shown.back().text; }
    void Clear() { shown.clear(); }

private:
    void Record(const Shown& s) {
        shown.push_back(s);
        if (onShow)
            onShow(s);
    }
};

// Installs a fake as the current message boxes and restores the previous one when it goes out of scope.
class ScopedMessageBoxes {
public:
    explicit ScopedMessageBoxes(MessageBoxes& boxes) : previous_(MessageBoxes::SetCurrent(&boxes)) {}
    ~ScopedMessageBoxes() { MessageBoxes::SetCurrent(previous_); }
    ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
    ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

private:
    MessageBoxes* previous_;
};

} // namespace pavrin::controls::testing
