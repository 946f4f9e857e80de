#pragma once

#include <QObject>
#include <QString>

namespace QKeychain {
class Job;
}

// The Firebird password that validation remembers for a database, kept in the desktop's Secret
// Service (through QtKeychain) and never in a file. Where no Secret Service answers, nothing is
// remembered. Every call answers later, through a signal on the calling thread's event loop, so
// a slow or locked keyring never holds up the interface.
class SenhaGuardada : public QObject {
    Q_OBJECT
public:
    // `iniPath`: "parametros.ini", whose section "validacao" names the last database.
    explicit SenhaGuardada(const QString &iniPath, QObject *parent = nullptr);

    // The last database that a run attached to and the password remembered for it, through
    // lida(). A password an older version left in the settings file is moved to the keyring
    // first and taken out of the file, whether the keyring takes it or not.
    void lerUltima();
    // The password remembered for `banco`, through lida().
    void ler(const QString &banco);
    // Remembers `senha` for `banco`; an empty one forgets it. gravada() tells the end.
    void gravar(const QString &banco, const QString &senha);

    // The notice for a keyring that did not answer.
    static QString textoSemChaveiro(const QString &motivo);

signals:
    // `senha` is empty when none is remembered or the keyring did not answer.
    void lida(const QString &banco, const QString &senha);
    // `feito`: the keyring now holds what was asked (an emptied entry included).
    void gravada(bool feito);
    // A sentence for the user: the keyring did not answer, or the settings file kept a password.
    void aviso(const QString &texto);

private:
    // True when the job's failure means there is no keyring to use (not merely no entry).
    bool falhou(const QKeychain::Job &job);

    QString m_iniPath;
};
