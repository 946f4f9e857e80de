#include "service/Protocolo.h"

#include "service/BuscaPaginada.h"
#include "service/Enderecos.h"
#include "service/Hexadecimal.h"
#include "service/Md5Senha.h"
#include "base/Exception.h"
#include "json/TJSONObject.h"

#include <QUrl>

#include <memory>

namespace Protocolo {

namespace {

QString textoData(const QDate &data) {
    return data.isValid() ? data.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

CamposRequisicao camposFiltro(const FiltroPesquisa &filtro, const QString &chave, bool comUsuario) {
    CamposRequisicao campos;
    campos.set(QStringLiteral("sistema"), filtro.sistema);
    campos.set(QStringLiteral("codigo"), filtro.codigo);
    if (comUsuario)
        campos.set(QStringLiteral("usuario"), filtro.usuario);
    campos.set(QStringLiteral("data_inicio"), textoData(filtro.data_inicio));
    campos.set(QStringLiteral("data_fim"), textoData(filtro.data_fim));
    campos.set(QStringLiteral("arquivo"), filtro.arquivo);
    campos.set(QStringLiteral("maximo"), QString::number(filtro.maximo));
    campos.set(QStringLiteral("chave"), chave);
    return campos;
}

QString enderecoPesquisa() {
    return URLBase() + QStringLiteral("/pesquisar");
}

QString enderecoPesquisaLog() {
    return URLBase() + QStringLiteral("/pesquisar_log");
}

} // namespace

CamposRequisicao CamposPesquisa(const FiltroPesquisa &filtro, const QString &chave) {
    return camposFiltro(filtro, chave, false);
}

CamposRequisicao CamposPesquisaLog(const FiltroPesquisa &filtro, const QString &chave) {
    return camposFiltro(filtro, chave, true);
}

Resposta LerEnvelope(const QString &texto) {
    const json::TJSONObject envelope(texto);
    Resposta r;
    r.success = envelope.getBoolean(QStringLiteral("success"));
    if (!r.success)
        r.message = envelope.getString(QStringLiteral("message"));
    return r;
}

RespostaLogin Login(Conexao &conexao, const QString &usuario, const QString &senha) {
    CamposRequisicao campos;
    campos.set(QStringLiteral("usuario"), usuario);
    campos.set(QStringLiteral("senha"), Md5Senha(senha));
    const QString texto = conexao.Post(URLBase() + QStringLiteral("/login"), campos);
    const json::TJSONObject envelope(texto);
    RespostaLogin r;
    r.success = envelope.getBoolean(QStringLiteral("success"));
    if (r.success)
        r.chave = envelope.getString(QStringLiteral("chave"));
    else
        r.message = envelope.getString(QStringLiteral("message"));
    return r;
}

QString DataInsercao(const QDateTime &data) {
    return data.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

CamposRequisicao CamposInserir(const QDateTime &data, const QString &nome, const QString &sistema,
                               const QByteArray &script, const QString &chave) {
    CamposRequisicao campos;
    campos.set(QStringLiteral("data"), DataInsercao(data));
    campos.set(QStringLiteral("nome"), nome);
    campos.set(QStringLiteral("sistema"), sistema);
    campos.set(QStringLiteral("script"), QStringLiteral("0x") + TextoParaHex(script));
    campos.set(QStringLiteral("chave"), chave);
    return campos;
}

std::optional<Resposta> Inserir(Sessao &sessao, const QDateTime &data, const QString &nome,
                                const QString &sistema, const QByteArray &script) {
    // Outside the guard: a transport failure must reach the caller as itself.
    const QString texto = sessao.conexao().Post(URLBase() + QStringLiteral("/inserir"),
                                                CamposInserir(data, nome, sistema, script, sessao.chave()));
    std::unique_ptr<json::TJSONObject> envelope;
    Resposta r;
    try {
        envelope = std::make_unique<json::TJSONObject>(texto);
        r.success = envelope->getBoolean(QStringLiteral("success"));
    } catch (const Exception &) {
        return std::nullopt;
    }
    // A refusal whose reason does not read is a reading failure, not a script taken.
    if (!r.success)
        r.message = envelope->getString(QStringLiteral("message"));
    return r;
}

RespostaContagem Contar(Conexao &conexao, const QString &endereco, CamposRequisicao campos) {
    campos.set(QStringLiteral("contar"), QStringLiteral("true"));
    const json::TJSONObject envelope(conexao.Post(endereco, campos));
    RespostaContagem r;
    r.success = envelope.getBoolean(QStringLiteral("success"));
    if (r.success)
        r.registros = envelope.getInt(QStringLiteral("registros"));
    else
        r.message = envelope.getString(QStringLiteral("message"));
    return r;
}

RespostaContagem ContarScripts(Sessao &sessao, const FiltroPesquisa &filtro) {
    return Contar(sessao.conexao(), enderecoPesquisa(), CamposPesquisa(filtro, sessao.chave()));
}

RespostaContagem ContarLogs(Sessao &sessao, const FiltroPesquisa &filtro) {
    return Contar(sessao.conexao(), enderecoPesquisaLog(), CamposPesquisaLog(filtro, sessao.chave()));
}

int BuscarScripts(Conexao &conexao, const CamposRequisicao &campos, int registros,
                  const std::function<void(const RegistroScript &)> &porRegistro) {
    return BuscaPaginada(conexao, enderecoPesquisa(), campos, registros,
                         [&](const json::TJSONObject &o) { porRegistro(RegistroScript::ler(o)); });
}

int BuscarLogs(Conexao &conexao, const CamposRequisicao &campos, int registros,
               const std::function<void(const RegistroLog &)> &porRegistro) {
    return BuscaPaginada(conexao, enderecoPesquisaLog(), campos, registros,
                         [&](const json::TJSONObject &o) { porRegistro(RegistroLog::ler(o)); });
}

int BuscarScripts(Sessao &sessao, const FiltroPesquisa &filtro, int registros,
                  const std::function<void(const RegistroScript &)> &porRegistro) {
    return BuscarScripts(sessao.conexao(), CamposPesquisa(filtro, sessao.chave()), registros, porRegistro);
}

int BuscarLogs(Sessao &sessao, const FiltroPesquisa &filtro, int registros,
               const std::function<void(const RegistroLog &)> &porRegistro) {
    return BuscarLogs(sessao.conexao(), CamposPesquisaLog(filtro, sessao.chave()), registros, porRegistro);
}

Resposta Atualizar(Sessao &sessao, int codigo, const QByteArray &script) {
    CamposRequisicao campos;
    campos.set(QStringLiteral("codigo"), QString::number(codigo));
    campos.set(QStringLiteral("script"), TextoParaHex(script));
    campos.set(QStringLiteral("chave"), sessao.chave());
    return LerEnvelope(sessao.conexao().Post(URLBase() + QStringLiteral("/atualizar"), campos));
}

Resposta Excluir(Sessao &sessao, int codigo) {
    // Both values are percent-encoded: a key holding "&", "+" or "/" must not break the query
    // or smuggle a field into it. Unreserved characters, and so ordinary keys, travel unchanged.
    const QString endereco = URLBase() + QStringLiteral("/excluir?codigo=") +
                             QString::fromLatin1(QUrl::toPercentEncoding(QString::number(codigo))) +
                             QStringLiteral("&chave=") +
                             QString::fromLatin1(QUrl::toPercentEncoding(sessao.chave()));
    return LerEnvelope(sessao.conexao().Get(endereco));
}

} // namespace Protocolo
