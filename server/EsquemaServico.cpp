#include "server/EsquemaServico.h"

#include "base/Exception.h"
#include "server/ConexaoBanco.h"

std::optional<int> EsquemaServico::versao(ConexaoBanco &conexao) {
    if (conexao.temTabela(QStringLiteral("versao_esquema")))
        return conexao.valor(QStringLiteral("SELECT max(versao) FROM versao_esquema")).toInt();
    for (const char *tabela : {"usuarios", "sessoes", "scripts", "log"})
        if (conexao.temTabela(QString::fromLatin1(tabela)))
            return 0;
    return std::nullopt;
}

void EsquemaServico::conferir(int versao) {
    if (versao > Atual)
        throw Exception(QStringLiteral("O banco de dados está no esquema versão %1, mais novo que o deste "
                                       "serviço (versão %2): use um brisel-scripts-server mais novo.")
                            .arg(versao)
                            .arg(Atual));
}

void EsquemaServico::gravar(ConexaoBanco &conexao) {
    conexao.executar(QStringLiteral("CREATE TABLE IF NOT EXISTS versao_esquema (versao INTEGER NOT NULL)"));
    conexao.executar(QStringLiteral("DELETE FROM versao_esquema"));
    conexao.executar(QStringLiteral("INSERT INTO versao_esquema (versao) VALUES (?)"), {Atual});
}

QString EsquemaServico::mensagemEstranho(const QString &onde) {
    return QStringLiteral("%1 não é um banco de dados do brisel-scripts-server.").arg(onde);
}
