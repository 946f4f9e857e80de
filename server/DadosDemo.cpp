#include "server/DadosDemo.h"

#include "base/Windows1252.h"
#include "server/Armazenamento.h"

#include <QDateTime>

namespace {

struct Modelo {
    const char *sistema;
    const char *nome; // %1: a sequence number
    const char *texto;
};

// Each model is used twice, with its own numbers: 36 scripts.
const Modelo Modelos[] = {
    {"KOR", "%1_clientes_email.sql",
     "ALTER TABLE CLIENTES ADD EMAIL_%1 VARCHAR(120);\r\nCOMMENT ON COLUMN CLIENTES.EMAIL_%1 IS "
     "'Endereço de correio eletrônico';\r\n"},
    {"KOR", "%1_parametros_juros.sql",
     "UPDATE PARAMETROS SET VALOR = '0.0%1' WHERE CHAVE = 'JUROS_MORA';\r\nCOMMIT;\r\n"},
    {"KOR", "%1_indice_pedidos.sql",
     "CREATE INDEX IDX_PEDIDOS_%1 ON PEDIDOS (DATA_EMISSAO, CLIENTE_ID);\r\n"},
    {"KOR", "%1_proc_saldo.sql",
     "SET TERM ^ ;\r\nCREATE OR ALTER PROCEDURE SALDO_CLIENTE_%1 (ID INTEGER) RETURNS (SALDO "
     "NUMERIC(15,2))\r\n"
     "AS\r\nBEGIN\r\n  SELECT SUM(VALOR) FROM LANCAMENTOS WHERE CLIENTE_ID = :ID INTO :SALDO;\r\n  "
     "SUSPEND;\r\nEND^\r\nSET TERM ; ^\r\n"},
    {"KOR", "%1_cidades.sql", "INSERT INTO CIDADES (CODIGO, NOME, UF) VALUES (%1, 'São José', 'SC');\r\n"},
    {"KOR", "%1_vendedores_ativo.sql",
     "UPDATE VENDEDORES SET ATIVO = 'N' WHERE ULTIMA_VENDA < '2023-01-%1';\r\n"},
    {"KOR_LIVROS", "%1_livro_registro.sql",
     "ALTER TABLE LIVRO_REGISTRO ADD FOLHA_%1 INTEGER DEFAULT 0 NOT NULL;\r\n"},
    {"KOR_LIVROS", "%1_termo_abertura.sql",
     "UPDATE TERMOS SET TEXTO = 'Termo de abertura do livro nº %1' WHERE TIPO = 'A';\r\n"},
    {"KOR_LIVROS", "%1_view_lancamentos.sql",
     "CREATE OR ALTER VIEW V_LANCAMENTOS_%1 AS\r\nSELECT L.LIVRO, L.FOLHA, L.HISTORICO FROM "
     "LANCAMENTOS_LIVRO "
     "L\r\nWHERE L.EXERCICIO = 2024;\r\n"},
    {"KOR_LIVROS", "%1_gerador_folhas.sql",
     "CREATE SEQUENCE GEN_FOLHAS_%1;\r\nALTER SEQUENCE GEN_FOLHAS_%1 "
     "RESTART WITH 100;\r\n"},
    {"KOR_LIVROS", "%1_historicos.sql",
     "INSERT INTO HISTORICOS (CODIGO, DESCRICAO) VALUES (%1, 'Transferência entre contas');\r\n"},
    {"KOR_LIVROS", "%1_encerramento.sql",
     "UPDATE LIVROS SET SITUACAO = 'E' WHERE EXERCICIO < 20%1;\r\nCOMMIT;\r\n"},
    {"TALAO", "%1_taloes_serie.sql", "ALTER TABLE TALOES ADD SERIE_%1 CHAR(3);\r\n"},
    {"TALAO", "%1_numeracao.sql",
     "UPDATE NUMERACAO SET PROXIMO = PROXIMO + %1 WHERE DOCUMENTO = 'RECIBO';\r\n"},
    {"TALAO", "%1_trigger_emissao.sql",
     "SET TERM ^ ;\r\nCREATE OR ALTER TRIGGER TALOES_BI_%1 FOR TALOES BEFORE INSERT AS\r\nBEGIN\r\n  "
     "NEW.EMISSAO = CURRENT_TIMESTAMP;\r\nEND^\r\nSET TERM ; ^\r\n"},
    {"TALAO", "%1_cancelados.sql",
     "DELETE FROM TALOES_CANCELADOS WHERE DATA_CANCELAMENTO < '2022-01-%1';\r\n"},
    {"TALAO", "%1_modelos_impressao.sql",
     "INSERT INTO MODELOS_IMPRESSAO (CODIGO, DESCRICAO) VALUES (%1, 'Talão de cobrança');\r\n"},
    {"TALAO", "%1_permissoes.sql", "GRANT SELECT, INSERT ON TALOES TO ROLE EMISSOR_%1;\r\n"},
};

QString hex(const QString &texto) {
    return QString::fromLatin1(Windows1252::fromUnicode(texto).toHex().toUpper());
}

} // namespace

bool DadosDemo::criar(Armazenamento &armazenamento) {
    const FiltroArmazenamento todos;
    if (armazenamento.contarScripts(todos, 1) > 0 || armazenamento.contarLog(todos, 1) > 0)
        return false;

    const QDateTime agora = QDateTime::currentDateTime();
    const QDateTime inicioHoje = agora.date().startOfDay();
    // A moment of today before now: a fraction of the day so far.
    const auto hoje = [&](double fracao) {
        return inicioHoje.addSecs(qint64(double(inicioHoje.secsTo(agora)) * fracao));
    };
    QDateTime momento = agora;
    armazenamento.definirRelogio([&momento] { return momento; });

    const QString demo = QStringLiteral("DEMO");
    const QString maria = QStringLiteral("MARIA");
    const int modelos = int(std::size(Modelos));
    QList<qint64> codigos;
    for (int i = 0; i < 2 * modelos; ++i) {
        const Modelo &m = Modelos[i % modelos];
        // The first two of each system are from today; the others go back up to four months.
        const bool deHoje = i % 6 < 2 && i < modelos;
        const QDateTime data = deHoje
                                   ? hoje(0.1 + 0.05 * i)
                                   : inicioHoje.addDays(-(1 + (i * 37) % 120)).addSecs(8 * 3600 + i * 1111);
        const int numero = 101 + i;
        momento = data.addSecs(60);
        if (deHoje)
            momento = hoje(0.12 + 0.05 * i);
        codigos << armazenamento.inserir(
            data, QString::fromLatin1(m.nome).arg(numero), QString::fromLatin1(m.sistema),
            hex(QString::fromUtf8(m.texto).arg(numero)), i % 3 == 0 ? maria : demo);
    }

    // Edits: some weeks ago and today, by both users; one script deleted.
    struct Edicao {
        int indice;
        bool deHoje;
        int diasAtras;
        bool porMaria;
        bool excluir;
    };
    const Edicao edicoes[] = {
        {3, false, 20, true, false}, {8, false, 12, false, false}, {14, false, 5, true, false},
        {0, true, 0, false, false},  {1, true, 0, true, false},    {6, true, 0, false, false},
        {13, true, 0, true, false},  {30, true, 0, true, true},
    };
    for (const Edicao &e : edicoes) {
        momento =
            e.deHoje ? hoje(0.9 + 0.01 * e.indice / 3) : inicioHoje.addDays(-e.diasAtras).addSecs(15 * 3600);
        const QString &usuario = e.porMaria ? maria : demo;
        const qint64 codigo = codigos[e.indice];
        if (e.excluir) {
            armazenamento.excluir(codigo, usuario);
            continue;
        }
        const Modelo &m = Modelos[e.indice % modelos];
        const QString texto = QStringLiteral("-- Revisado por %1\r\n").arg(usuario) +
                              QString::fromUtf8(m.texto).arg(101 + e.indice);
        armazenamento.atualizar(codigo, hex(texto), usuario);
    }
    armazenamento.definirRelogio({});
    return true;
}
