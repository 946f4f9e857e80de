#include "catalog/BloqueioEntrada.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

BloqueioEntrada::BloqueioEntrada(QWidget *janela) : m_janela(janela) {
    QCoreApplication::instance()->installEventFilter(this);
}

BloqueioEntrada::~BloqueioEntrada() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool BloqueioEntrada::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
        if (auto *alvo = qobject_cast<QWidget *>(watched); alvo && alvo->window() == m_janela)
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
