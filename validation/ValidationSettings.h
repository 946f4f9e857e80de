#pragma once

#include <QString>

// Section "validacao" of "parametros.ini": the database of the last run that attached. Its
// password is remembered in the desktop's keyring (SenhaGuardada), never here; "password" is
// only read, to move what an older version kept in plain text, and then removed.
// Only these keys are touched; the rest of the file is kept as it is.
class ValidationSettings {
public:
    explicit ValidationSettings(const QString &iniPath);

    struct Values {
        QString database;
        QString password; // left in plain text by an older version; never written
    };
    // Missing keys or file give empty texts.
    Values read() const;
    // Writes the database and takes out any password. Throws Exception when the file cannot be
    // written.
    void write(const Values &values) const;
    // Takes out the password alone. Throws like write.
    void removePassword() const;
    // "Ensaiar numa cópia descartável" (key "ensaio"), off when missing. Throws like write.
    bool readTrial() const;
    void writeTrial(bool trial) const;

private:
    QString m_iniPath;
};
