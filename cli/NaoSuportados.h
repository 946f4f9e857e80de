#pragma once

#include "base/Windows1252.h"

#include <QCommandLineOption>
#include <QString>
#include <QTextStream>

// The commands that send script texts refuse characters the service cannot store (they would
// arrive as "?") unless told to replace them.
namespace NaoSuportados {

// --replace-unsupported
QCommandLineOption opcao();

// Writes the file's characters outside the code page, with line and column, to err; true when
// there was any.
bool relatar(const QString &arquivo, const QList<Windows1252::CaractereNaoSuportado> &lista,
             QTextStream &err);

// The closing sentence after the reports: nothing was sent, and how to send anyway.
void concluir(QTextStream &err);

} // namespace NaoSuportados
