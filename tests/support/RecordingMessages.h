#pragma once

#include "base/Messages.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// Records every message box instead of showing it; questions get the queued answers
// (Yes when none is queued).
class RecordingMessages : public Messages {
public:
    enum Kind { Error, Warning, Information, Question, GeneralError };
    struct Box {
        Kind kind;
        QString text;
        bool defaultNo = false; // a question whose default button is No
    };

    void error(const QString &text) override { boxes.append({Error, text}); }
    void warning(const QString &text) override { boxes.append({Warning, text}); }
    void information(const QString &text) override { boxes.append({Information, text}); }
    bool question(const QString &text) override {
        boxes.append({Question, text});
        if (closedWhileAsking())
            return false;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    bool questionDefaultNo(const QString &text) override {
        boxes.append({Question, text, true});
        if (closedWhileAsking())
            return false;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    std::optional<bool> questionOrCancel(const QString &text) override {
        boxes.append({Question, text});
        if (closedWhileAsking())
            return std::nullopt;
        if (!choices.isEmpty())
            return choices.takeFirst();
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void closeQuestion() override {
        ++closedQuestions;
        m_closed = true;
    }
    void generalError(const QString &message) override { boxes.append({GeneralError, message}); }

    QList<Box> boxes;
    QList<bool> answers;
    // Answers of questionOrCancel, taken before `answers`; nothing stands for Cancel.
    QList<std::optional<bool>> choices;
    // Run once, by the next question while it is on screen, before its answer: what happens
    // meanwhile (an upload that ends). A question closed by then answers No (or Cancel).
    std::function<void()> whileAsking;
    int closedQuestions = 0;

private:
    bool closedWhileAsking() {
        if (!whileAsking)
            return false;
        m_closed = false;
        std::exchange(whileAsking, {})();
        return m_closed;
    }

    bool m_closed = false;
};
