#pragma once

#include "service/CamposRequisicao.h"
#include "service/RegistroLog.h"
#include "service/RegistroScript.h"
#include "service/Sessao.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// One function per request of the web service. Three ways out, reported differently by callers:
//   - a returned Resposta with success false: a refusal, show `message`;
//   - ErroTransporte: the request could not be sent or got a failure status;
//   - any other Exception (JSON exceptions, ErroLeitura): the reply does not read.
namespace Protocolo {

struct Resposta {
    bool success = false;
    QString message; // set when success is false
};

struct RespostaLogin : Resposta {
    QString chave;
};

struct RespostaContagem : Resposta {
    int registros = 0;
};

// The filters of pages "Scripts" and "Log"; empty texts and null dates are left out.
struct FiltroPesquisa {
    QString sistema;
    QString codigo;  // as typed; not checked by the client
    QString usuario; // "/pesquisar_log" only
    QDate data_inicio;
    QDate data_fim;
    QString arquivo;
    int maximo = 0;
};

// Fields of "/pesquisar" and "/pesquisar_log" in their order, ending with "chave" (without
// "contar" or "lidos"). "usuario" is sent only by the log search.
CamposRequisicao CamposPesquisa(const FiltroPesquisa &filtro, const QString &chave);
CamposRequisicao CamposPesquisaLog(const FiltroPesquisa &filtro, const QString &chave);

RespostaLogin Login(Conexao &conexao, const QString &usuario, const QString &senha);

// "data" of "/inserir": "yyyy-mm-dd hh:mm:ss".
QString DataInsercao(const QDateTime &data);
// Fields of "/inserir" in their order; "script" is "0x" + hexadecimal.
CamposRequisicao CamposInserir(const QDateTime &data, const QString &nome, const QString &sistema,
                               const QByteArray &script, const QString &chave);

// "/inserir": the reply's envelope, or none when the reply is not an envelope (the service
// took the script without saying so).
std::optional<Resposta> Inserir(Sessao &sessao, const QDateTime &data, const QString &nome,
                                const QString &sistema, const QByteArray &script);

// Counting requests: the fields plus "contar" = "true".
RespostaContagem Contar(Conexao &conexao, const QString &endereco, CamposRequisicao campos);
RespostaContagem ContarScripts(Sessao &sessao, const FiltroPesquisa &filtro);
RespostaContagem ContarLogs(Sessao &sessao, const FiltroPesquisa &filtro);

// Paged fetches (see BuscaPaginada); each record is read and handed to the callback.
int BuscarScripts(Sessao &sessao, const FiltroPesquisa &filtro, int registros,
                  const std::function<void(const RegistroScript &)> &porRegistro);
int BuscarLogs(Sessao &sessao, const FiltroPesquisa &filtro, int registros,
               const std::function<void(const RegistroLog &)> &porRegistro);
// The same over fields built by the caller (for instance from its screen controls).
int BuscarScripts(Conexao &conexao, const CamposRequisicao &campos, int registros,
                  const std::function<void(const RegistroScript &)> &porRegistro);
int BuscarLogs(Conexao &conexao, const CamposRequisicao &campos, int registros,
               const std::function<void(const RegistroLog &)> &porRegistro);

// "/atualizar": "script" is the hexadecimal without "0x", left out when the text is empty.
Resposta Atualizar(Sessao &sessao, int codigo, const QByteArray &script);
// "/excluir": a GET with "codigo" and "chave" percent-encoded in the query.
Resposta Excluir(Sessao &sessao, int codigo);

// Reads an envelope's "success" and, when false, its "message".
Resposta LerEnvelope(const QString &texto);

} // namespace Protocolo
