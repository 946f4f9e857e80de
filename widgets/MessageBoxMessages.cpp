#include "widgets/MessageBoxMessages.h"

#include "base/ErroGeral.h"

#include <QApplication>
#include <QMessageBox>

namespace {
const QString titulo = QStringLiteral("Brisel Scripts");
}

void MessageBoxMessages::error(const QString &text) {
    QMessageBox::critical(QApplication::activeWindow(), titulo, text);
}

void MessageBoxMessages::warning(const QString &text) {
    QMessageBox::warning(QApplication::activeWindow(), titulo, text);
}

void MessageBoxMessages::information(const QString &text) {
    QMessageBox::information(QApplication::activeWindow(), titulo, text);
}

bool MessageBoxMessages::question(const QString &text) {
    return QMessageBox::question(QApplication::activeWindow(), titulo, text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool MessageBoxMessages::questionDefaultNo(const QString &text) {
    return QMessageBox::question(QApplication::activeWindow(), titulo, text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

std::optional<bool> MessageBoxMessages::questionOrCancel(const QString &text) {
    switch (QMessageBox::question(QApplication::activeWindow(), titulo, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return true;
    case QMessageBox::No:
        return false;
    default: // Cancel, Esc or the close button
        return std::nullopt;
    }
}

void MessageBoxMessages::generalError(const QString &message) {
    QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("BriselScripts"),
                          ErroGeral::comPontoFinal(message));
}
