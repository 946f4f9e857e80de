#include "scripts/EnsaioFila.h"

#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "base/Windows1252.h"
#include "scripts/EnvioScripts.h"

#include <optional>

namespace {

// The lines of a failure that ended the trial, from its first line (`semPrimeira`: after it) to
// the closing line of the trial.
QStringList motivoDaFalha(const QStringList &linhas, bool semPrimeira) {
    qsizetype inicio = linhas.indexOf(ScriptRunner::failedLine());
    if (inicio < 0)
        inicio = linhas.indexOf(ScriptTrial::copyFailedLine());
    if (inicio < 0)
        return {ScriptRunner::failedLine()};
    qsizetype fim = linhas.indexOf(ScriptTrial::trialLine(), inicio);
    QStringList motivo = linhas.mid(inicio, fim < 0 ? -1 : fim - inicio);
    if (semPrimeira && motivo.size() > 1)
        motivo.removeFirst();
    return motivo;
}

} // namespace

EnsaioFila::EnsaioFila(FirebirdClient &client, const TrialCopyRegistry &registry)
    : m_trial(client, registry) {}

QList<EnsaioFila::Resultado> EnsaioFila::Ensaiar(const QString &banco, const QString &senha,
                                                 const QList<Arquivo> &arquivos, const Ganchos &ganchos) {
    QList<ScriptTrial::Script> scripts;
    scripts.reserve(arquivos.size());
    for (const Arquivo &a : arquivos)
        scripts.append({EnvioScripts::nomeArquivo(a.caminho), Windows1252::toUnicode(a.script)});

    QList<Resultado> resultados(arquivos.size());
    int atual = -1;
    QStringList linhas; // of the script running, for a failure that is no statement's
    // A failing statement's message is the last error once the next one fails or the script ends.
    std::optional<int> falhouNa;
    const auto registrarFalha = [&] {
        if (falhouNa && atual >= 0)
            resultados[atual].falhas.append({*falhouNa, m_trial.lastError()});
        falhouNa.reset();
    };
    ScriptTrial::Callbacks callbacks;
    callbacks.run.appendLine = [&](const QString &linha) { linhas << linha; };
    callbacks.run.statementFailed = [&](int linha) {
        registrarFalha();
        falhouNa = linha;
    };
    callbacks.run.stop = ganchos.parar;
    callbacks.scriptStarted = [&](int numero, int total) {
        registrarFalha();
        atual = numero - 1;
        linhas.clear();
        if (ganchos.progresso)
            ganchos.progresso(numero, total);
    };
    const QList<ScriptTrial::Result> results = m_trial.run(banco, senha, scripts, callbacks);
    registrarFalha();
    if (results.isEmpty() && atual < 0) {
        if (ganchos.parar && ganchos.parar->cancelado())
            return resultados;
        // Not attached or not copied: the failure's line and its reason.
        throw Exception(motivoDaFalha(linhas, false).join(u'\n'));
    }
    QString primeiraFalha;
    for (int i = 0; i < results.size(); ++i) {
        Resultado &r = resultados[i];
        r.executado = results.at(i).outcome != ScriptRunner::Outcome::Cancelled;
        if (results.at(i).outcome == ScriptRunner::Outcome::Failed)
            r.erro = motivoDaFalha(linhas, true).join(u' ');
        if (!r.executado)
            continue;
        if (r.falhou()) {
            r.aposFalhaEm = primeiraFalha;
            if (primeiraFalha.isEmpty())
                primeiraFalha = scripts.at(i).name;
        }
    }
    return resultados;
}

QString EnsaioFila::texto(const Resultado &resultado) {
    if (!resultado.executado)
        return QString();
    if (!resultado.falhou())
        return QStringLiteral("OK");
    QString motivo = resultado.falhas.isEmpty() ? resultado.erro
                                                : QStringLiteral("Linha %1: %2")
                                                      .arg(resultado.falhas.constFirst().linha)
                                                      .arg(resultado.falhas.constFirst().mensagem);
    // A message of several lines in one cell.
    motivo = motivo.simplified();
    if (!resultado.aposFalhaEm.isEmpty())
        motivo += QStringLiteral(" (após falha em %1)").arg(resultado.aposFalhaEm);
    return QStringLiteral("Falhou: ") + motivo;
}
