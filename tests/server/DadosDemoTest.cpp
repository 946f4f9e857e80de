#include "server/DadosDemo.h"
#include "server/Armazenamento.h"
#include "tests/server/BancoTeste.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

class DadosDemoNoBanco : public testing::TestWithParam<Motor> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Motores, DadosDemoNoBanco, Motores(), NomeMotorParametro);

TEST_P(DadosDemoNoBanco, EverySystemHasScriptsFromTodayAndOlderAndTheLogHasEditsByTwoUsers) {
    const BancoTeste banco(GetParam());
    const std::unique_ptr<Armazenamento> armazenamento = banco.abrir();
    Armazenamento &a = *armazenamento;
    ASSERT_TRUE(DadosDemo::criar(a));

    FiltroArmazenamento hoje;
    hoje.inicio = hoje.fim = QDate::currentDate();
    for (const char *sistema : {"KOR", "KOR_LIVROS", "TALAO"}) {
        FiltroArmazenamento f;
        f.sistema = QString::fromLatin1(sistema);
        EXPECT_GE(a.contarScripts(f, 1000), 10) << sistema;
        f.inicio = f.fim = QDate::currentDate();
        EXPECT_GE(a.contarScripts(f, 1000), 1) << sistema << " today";
        f.inicio = QDate::currentDate().addMonths(-5);
        f.fim = QDate::currentDate().addMonths(-1);
        EXPECT_GE(a.contarScripts(f, 1000), 1) << sistema << " months ago";
    }

    QSet<QString> usuariosHoje, descricoes;
    for (const EntradaLog &e : a.pesquisarLog(hoje, 1000, 0, 1000)) {
        if (e.descricao != QStringLiteral("Inclusão"))
            usuariosHoje << e.usuario;
        descricoes << e.descricao;
        EXPECT_LE(e.data, QDateTime::currentDateTime());
    }
    EXPECT_EQ(usuariosHoje, (QSet<QString>{QStringLiteral("DEMO"), QStringLiteral("MARIA")}));
    EXPECT_EQ(descricoes, (QSet<QString>{QStringLiteral("Inclusão"), QStringLiteral("Alteração"),
                                         QStringLiteral("Exclusão")}));
    // Scripts are Windows-1252 text as the program sends them: "São José" holds 0xE3 and 0xE9.
    FiltroArmazenamento cidades;
    cidades.arquivo = QStringLiteral("cidades");
    const auto pagina = a.pesquisarScripts(cidades, 1, 0, 1);
    ASSERT_EQ(pagina.size(), 1);
    EXPECT_TRUE(pagina[0].scriptHex.contains(QStringLiteral("53E36F204A6F73E9")))
        << pagina[0].scriptHex.toStdString();

    const int scripts = a.contarScripts({}, 1000);
    EXPECT_FALSE(DadosDemo::criar(a)) << "a database with data is left as it is";
    EXPECT_EQ(a.contarScripts({}, 1000), scripts);
}
