#pragma once

#include <QString>

// Section "validacao" of "parametros.ini": the database and password of the last run that
// attached. Only these two keys are touched; the rest of the file is kept as it is.
class ValidationSettings {
public:
    explicit ValidationSettings(const QString &iniPath);

    struct Values {
        QString database;
        QString password; // plain text, as the user typed it
    };
    // Missing keys or file give empty texts.
    Values read() const;
    // Throws Exception when the file cannot be written.
    void write(const Values &values) const;

private:
    QString m_iniPath;
};
