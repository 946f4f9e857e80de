#include "server/ConexaoBanco.h"

#include "server/BancoIndisponivel.h"

QString ConexaoBanco::valor(const QString &sql, const QVariantList &valores, const QString &padrao) {
    const Linhas linhas = executar(sql, valores);
    return linhas.isEmpty() || linhas.first().isEmpty() ? padrao : linhas.first().first();
}

void ConexaoBanco::emTransacao(const char *inicio, const std::function<void()> &trabalho) {
    executar(QString::fromLatin1(inicio));
    try {
        trabalho();
        executar(QStringLiteral("COMMIT"));
    } catch (const BancoIndisponivel &) {
        throw; // nothing to roll back on a connection that is gone
    } catch (...) {
        try {
            executar(QStringLiteral("ROLLBACK"));
        } catch (const Exception &) {
            // The original failure is what the caller needs to hear about.
        }
        throw;
    }
}
