#pragma once

#include "base/Messages.h"

// Message boxes shown with QMessageBox, over the active window.
class MessageBoxMessages : public Messages {
public:
    void error(const QString &text) override;
    void warning(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    bool questionDefaultNo(const QString &text) override;
    std::optional<bool> questionOrCancel(const QString &text) override;
    void generalError(const QString &message) override;
};
