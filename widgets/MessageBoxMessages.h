#pragma once

#include "base/Messages.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>

// Message boxes shown with QMessageBox, over the active window.
class MessageBoxMessages : public Messages {
public:
    void error(const QString &text) override;
    void warning(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    bool questionDefaultNo(const QString &text) override;
    std::optional<bool> questionOrCancel(const QString &text) override;
    void closeQuestion() override;
    void generalError(const QString &message) override;

private:
    QMessageBox::StandardButton ask(const QString &text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton);

    // The questions on screen, the latest last (a question may open over another).
    QList<QPointer<QMessageBox>> m_questions;
};
