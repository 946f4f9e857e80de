#pragma once

#include "server/ContextoServidor.h"
#include "server/Formulario.h"
#include "server/LeitorCampos.h"
#include "server/RespostaServico.h"

#include <QDateTime>
#include <QJsonArray>

#include <functional>

// The frame of every handler behind the log-in: the fields are read with the session's user
// checked first, and bad input or a storage failure is answered as RespostaServico::protegido does.
RespostaServico
ComSessao(ContextoServidor &contexto, const Formulario &formulario,
          const std::function<RespostaServico(const LeitorCampos &campos, const QString &usuario)> &corpo);

// The answer to a change of one stored script.
RespostaServico ScriptAlterado(bool encontrado, qint64 codigo);

// The two searches: "contar" = "true" answers {"registros": count} under "maximo", anything else
// the page of records from "lidos".
RespostaServico
Busca(ContextoServidor &contexto, const Formulario &formulario, bool comUsuario,
      const std::function<int(const FiltroArmazenamento &filtro, int maximo)> &contar,
      const std::function<QJsonArray(const FiltroArmazenamento &filtro, int maximo, int lidos)> &pagina);

// A time-stamp as the search replies carry it.
QString DataResposta(const QDateTime &data);
