#pragma once

#include "service/CamposRequisicao.h"

#include <QDate>
#include <QString>

// The filter boxes of a search page, as the user left them.
struct FiltroTela {
    QString sistema; // the chosen item, empty when none is chosen
    QString codigo;
    QString usuario;  // page "Log" only
    QDate dataInicio; // null when the box is empty
    QDate dataFim;
    QString arquivo;
    QString maximo; // the digits of the "Máximo" box
};

// A search asks for at most this many records.
inline constexpr int MaximoRegistros = 500;

// The number in a "Máximo" box; an empty box counts as 0. Digits beyond an int read as more
// than MaximoRegistros, so that the limit check catches them.
qint64 LerMaximo(const QString &texto);

// The fields of "/pesquisar" and "/pesquisar_log" from the boxes of pages "Scripts" and "Log",
// ending with "chave" (the callers add "contar" or "lidos").
CamposRequisicao MontarParametrosPesquisa(const FiltroTela &tela, const QString &chave);
CamposRequisicao MontarParametrosLog(const FiltroTela &tela, const QString &chave);
