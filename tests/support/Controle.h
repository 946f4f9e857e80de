#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// A window's control by its object name. A missing one stops the run: every check after it
// would only report the same rename.
template <class T> T *Controle(const QObject *janela, const char *nome) {
    T *c = janela->findChild<T *>(QLatin1String(nome));
    if (!c)
        qFatal("control %s not found", nome);
    return c;
}
