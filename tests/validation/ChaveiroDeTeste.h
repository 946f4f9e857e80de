#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private Secret Service for one test process: a D-Bus session bus of its own with
// gnome-keyring on it, unlocked, both with their own home and runtime folders, so that no test
// reads or writes the user's keyring. From construction on, the process's
// DBUS_SESSION_BUS_ADDRESS names this bus: build it before anything in the process uses the
// session bus. Both daemons end with the object.
class ChaveiroDeTeste {
public:
    ChaveiroDeTeste();
    ~ChaveiroDeTeste();
    ChaveiroDeTeste(const ChaveiroDeTeste &) = delete;
    ChaveiroDeTeste &operator=(const ChaveiroDeTeste &) = delete;

    bool isValid() const { return m_erro.isEmpty(); }
    QString erro() const { return m_erro; }

private:
    // True once the keyring answers with a default collection to store into.
    bool pronto(const QString &endereco) const;

    QTemporaryDir m_pasta;
    QProcess m_barramento;
    QProcess m_chaveiro;
    QString m_erro;
};
