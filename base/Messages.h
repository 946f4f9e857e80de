#pragma once

#include <QString>

#include <optional>

// The one seam through which the program shows message boxes. The program uses
// MessageBoxMessages; tests use a recorder, so that no test blocks on a modal box.
class Messages {
public:
    virtual ~Messages() = default;

    // Boxes titled "Brisel Scripts" with the icon of their kind.
    virtual void error(const QString &text) = 0;
    virtual void warning(const QString &text) = 0;
    virtual void information(const QString &text) = 0;
    // Yes and No; true only on Yes.
    virtual bool question(const QString &text) = 0;
    // Yes and No with No as the default button, for questions whose Yes drops the user's work;
    // true only on Yes.
    virtual bool questionDefaultNo(const QString &text) = 0;
    // Yes, No and Cancel (Yes the default), for a choice between two ways to go on where
    // going on at all may be a mistake: true on Yes, false on No, nothing on Cancel.
    virtual std::optional<bool> questionOrCancel(const QString &text) = 0;
    // Closes the question on screen as if No (or Cancel) had been chosen: for a question whose
    // moment has passed while it waited. Nothing when no question is open.
    virtual void closeQuestion() {}

    // The general error report: titled "BriselScripts", error icon. The caller passes the
    // error's own message; the full stop is added by the implementation.
    virtual void generalError(const QString &message) = 0;
};
