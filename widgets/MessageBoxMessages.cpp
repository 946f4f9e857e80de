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

QMessageBox::StandardButton MessageBoxMessages::ask(const QString &text, QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) {
    QMessageBox box(QMessageBox::Question, titulo, text, buttons, QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    m_questions.append(&box);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    m_questions.removeAll(&box);
    return answer;
}

bool MessageBoxMessages::question(const QString &text) {
    return ask(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool MessageBoxMessages::questionDefaultNo(const QString &text) {
    return ask(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxMessages::closeQuestion() {
    if (m_questions.isEmpty())
        return;
    QMessageBox *box = m_questions.constLast();
    box->done(box->standardButtons() & QMessageBox::Cancel ? QMessageBox::Cancel : QMessageBox::No);
}

std::optional<bool> MessageBoxMessages::questionOrCancel(const QString &text) {
    switch (ask(text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
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
