#include "scripts/ConsultaEstadoServico.h"

#include "base/Cancelamento.h"
#include "base/Exception.h"
#include "scripts/ArquivoScript.h"
#include "scripts/EnvioScripts.h"
#include "service/Conexao.h"
#include "service/ErroCancelado.h"
#include "service/Protocolo.h"
#include "service/Sessao.h"
#include "tests/scripts/QtPrinters.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <memory>

namespace {

using Estrategia = ConsultaEstadoServico::Estrategia;
using Tipo = EstadoNoServico::Tipo;

inline void PrintTo(const EstadoNoServico &e, std::ostream *os) {
    *os << e.texto().toStdString();
}

// A reference service holding scripts stored through the upload, and files on disk to ask about.
class ConsultaEstado : public testing::TestWithParam<Estrategia> {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        servidor = std::make_unique<TestServer>();
        qputenv("BRISEL_SERVICE_URL", servidor->rootUrl().toUtf8());
        const auto login = Protocolo::Login(conexao, QStringLiteral("DEV"), QStringLiteral("senha"));
        ASSERT_TRUE(login.success) << login.message.toStdString();
        sessao.setChave(login.chave);
    }
    void TearDown() override { qunsetenv("BRISEL_SERVICE_URL"); }

    // Stores the text under the name and returns its code (the service counts from 1 upwards).
    int guardar(const QString &sistema, const QString &nome, const QByteArray &script) {
        EnvioScripts(sessao, sistema).Enviar({QDateTime(QDate(2024, 5, 6), QTime(7, 8, 10)), nome, script});
        return ++codigos;
    }

    // The queue's view of a file written with these bytes: name and text as they would be sent.
    ConsultaEstadoServico::Arquivo arquivo(const QString &relativo, const QByteArray &bytes) {
        const QString caminho = pasta.filePath(relativo);
        QDir().mkpath(QFileInfo(caminho).path());
        QFile f(caminho);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        return {EnvioScripts::nomeArquivo(caminho), ArquivoScript::ler(caminho).script};
    }

    QList<EstadoNoServico> consultar(const QString &sistema,
                                     const QList<ConsultaEstadoServico::Arquivo> &arquivos,
                                     ConsultaEstadoServico::Ganchos ganchos = {}) {
        ConsultaEstadoServico consulta(sessao, sistema);
        consulta.setEstrategia(GetParam());
        return consulta.Consultar(arquivos, ganchos);
    }

    std::unique_ptr<TestServer> servidor;
    Conexao conexao;
    Sessao sessao{conexao};
    QTemporaryDir pasta;
    int codigos = 0;
};

EstadoNoServico estado(Tipo tipo, int codigo = 0, const QByteArray &noServico = {}) {
    return {tipo, codigo, noServico};
}

TEST_P(ConsultaEstado, eachFileIsJudgedByTheNewestScriptOfItsExactNameInTheSystem) {
    const int igual = guardar("KOR", "igual.sql", "select 1;\r\nselect 2;\r\n");
    guardar("KOR", "editado.sql", "select 'antes';\r\n");
    const int editado = guardar("KOR", "editado.sql", "select 'depois';\r\n");
    guardar("TALAO", "outro.sql", "select 3;\r\n");
    // Names the service's filter finds by part or regardless of case, none of them the file's.
    guardar("KOR", "xnovo.sql", "x\r\n");
    guardar("KOR", "novo.sql.bak", "x\r\n");
    guardar("KOR", "NOVO.SQL", "x\r\n");
    const int acentuado = guardar("KOR", QStringLiteral("relatório.sql"), "select '\xE7';\r\n");

    const QList<EstadoNoServico> estados = consultar(
        "KOR",
        {arquivo("novo.sql", "select 1;\n"), arquivo("a/igual.sql", "select 1;\r\nselect 2;\r\n"),
         arquivo("lf/igual.sql", "select 1;\nselect 2;"), arquivo("editado.sql", "select 'antes';\n"),
         arquivo("outro.sql", "select 3;\n"), arquivo(QStringLiteral("relatório.sql"), "select '\xE7';")});
    EXPECT_EQ(estados, (QList<EstadoNoServico>{
                           estado(Tipo::Novo), estado(Tipo::Igual, igual), estado(Tipo::Igual, igual),
                           // The older copy with the file's text does not count: the newest decides.
                           estado(Tipo::Alterado, editado, "select 'depois';\r\n"),
                           estado(Tipo::Novo), // stored only under TALAO
                           estado(Tipo::Igual, acentuado)}));
    EXPECT_EQ(estados[1].texto(), QStringLiteral("Igual (código %1)").arg(igual));
    EXPECT_EQ(estados[3].texto(), QStringLiteral("Alterado (código %1)").arg(editado));
    EXPECT_EQ(estados[0].texto(), QStringLiteral("Novo"));
}

TEST_P(ConsultaEstado, everyFileIsHandedOverAndTheProgressEndsAtItsTotal) {
    guardar("KOR_LIVROS", "a.sql", "a\r\n");
    QList<int> decididos;
    QList<QPair<int, int>> passos;
    ConsultaEstadoServico::Ganchos ganchos;
    ganchos.decidido = [&](int i, const EstadoNoServico &) { decididos << i; };
    ganchos.progresso = [&](int feitos, int total) { passos.append({feitos, total}); };
    const auto estados =
        consultar("KOR_LIVROS", {{"a.sql", "a\r\n"}, {"b.sql", "b\r\n"}, {"a.sql", "x\r\n"}}, ganchos);
    ASSERT_EQ(estados.size(), 3);
    EXPECT_EQ(estados[0].tipo, Tipo::Igual);
    EXPECT_EQ(estados[1].tipo, Tipo::Novo);
    EXPECT_EQ(estados[2].tipo, Tipo::Alterado);
    std::sort(decididos.begin(), decididos.end());
    EXPECT_EQ(decididos, (QList<int>{0, 1, 2}));
    ASSERT_FALSE(passos.isEmpty());
    EXPECT_EQ(passos.back().first, passos.back().second);
}

TEST_P(ConsultaEstado, anEmptySystemAnswersWithOneRequest) {
    guardar("TALAO", "a.sql", "a\r\n");
    const QString antes = servidor->log();
    const auto estados = consultar("KOR", {{"a.sql", "a\r\n"}, {"b.sql", "b\r\n"}});
    EXPECT_EQ(estados, (QList<EstadoNoServico>{estado(Tipo::Novo), estado(Tipo::Novo)}));
    EXPECT_EQ(servidor->log().mid(antes.size()).count(u'\n'), 1);
}

TEST_P(ConsultaEstado, aRefusalCarriesTheServicesMessage) {
    sessao.setChave(QStringLiteral("chave-vencida"));
    try {
        consultar("KOR", {{"a.sql", "a\r\n"}});
        FAIL() << "the refusal went unnoticed";
    } catch (const ErroCancelado &) {
        FAIL() << "a refusal is not a stop";
    } catch (const Exception &e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
}

TEST_P(ConsultaEstado, aStopEndsTheLookupWithErroCancelado) {
    guardar("KOR", "a.sql", "a\r\n");
    Cancelamento parar;
    ConsultaEstadoServico::Ganchos ganchos;
    ganchos.cancelamento = &parar;
    ganchos.progresso = [&](int, int) { parar.cancelar(); };
    EXPECT_THROW(consultar("KOR", {{"a.sql", "a\r\n"}, {"b.sql", "b\r\n"}}, ganchos), ErroCancelado);
}

INSTANTIATE_TEST_SUITE_P(Estrategias, ConsultaEstado,
                         testing::Values(Estrategia::Automatica, Estrategia::PorNome, Estrategia::Sistema),
                         [](const testing::TestParamInfo<Estrategia> &info) {
                             switch (info.param) {
                             case Estrategia::PorNome:
                                 return std::string("PorNome");
                             case Estrategia::Sistema:
                                 return std::string("Sistema");
                             case Estrategia::Automatica:
                                 break;
                             }
                             return std::string("Automatica");
                         });

} // namespace
