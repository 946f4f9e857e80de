#pragma once

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
bool relatar(const QString &arquivo, const QString &texto, QTextStream &err);

// The closing sentence after the reports: nothing was sent, and how to send anyway.
void concluir(QTextStream &err);

} // namespace NaoSuportados
