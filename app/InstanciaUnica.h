#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per user: the first copy listens on a per-user local socket; a later copy
// finds it there, tells it to come to the front and ends.
class InstanciaUnica : public QObject {
    Q_OBJECT
public:
    explicit InstanciaUnica(const QString &nome = nomePadrao(), QObject *parent = nullptr);

    // True when another copy is listening; it has then been told to come to the front.
    bool avisarOutra();
    // Starts listening (a socket left by a crashed copy is removed first).
    bool escutar();

    static QString nomePadrao();

signals:
    // Another copy started: bring the windows to the front.
    void chamada();

private:
    QString m_nome;
    QLocalServer *m_servidor = nullptr;
};
