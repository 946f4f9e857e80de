#pragma once

#include <QString>

// What the Linux updater tells the user: the packaged program is updated by the system's
// package manager, not by the program itself. `versaoNova` may be empty (not known).
QString AvisoAtualizacao(const QString &versaoInstalada, const QString &versaoNova);
