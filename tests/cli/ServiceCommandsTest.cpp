#include "service/Protocolo.h"
#include "tests/cli/ComandosServico.h"
#include "json/TJSONObject.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

using Saida = ExecucaoCli;

} // namespace

TEST_F(ComandosServico, VersionPrintsTheServiceVersionAndWhetherItIsNewer) {
    const Saida s = rodar({QStringLiteral("version")}, false);
    EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_EQ(s.out, QStringLiteral("1.0.8\nnewer than this program's " BRISEL_VERSION "\n"));
}

TEST_F(ComandosServico, SearchListsEveryPageAndSavesTheTexts) {
    QTemporaryDir dir;
    const Saida s = rodar({QStringLiteral("search"), QStringLiteral("--save"), dir.path()});
    EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
    EXPECT_EQ(s.out, QStringLiteral("1\t2024-05-01 10:00:00\trel1.sql\n"
                                    "2\t2024-05-02 10:00:00\trel2.sql\n"
                                    "3\t2024-05-03 10:00:00\trel3.sql\n"));
    QFile salvo(QDir(dir.path()).filePath(QStringLiteral("2-rel2.sql")));
    ASSERT_TRUE(salvo.open(QIODevice::ReadOnly));
    EXPECT_EQ(salvo.readAll(), QByteArray("select '\xE7';\r\n"));
}

TEST_F(ComandosServico, UpdateDeleteAndTheLog) {
    QTemporaryDir dir;
    const QString arquivo = dir.filePath(QStringLiteral("novo.sql"));
    {
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("novo\r\n");
    }
    EXPECT_EQ(
        rodar({QStringLiteral("update"), QStringLiteral("--code"), QStringLiteral("2"), arquivo}).codigo, 0);
    EXPECT_EQ(rodar({QStringLiteral("delete"), QStringLiteral("--code"), QStringLiteral("3")}).codigo, 0);
    const Saida log = rodar({QStringLiteral("log"), QStringLiteral("--by"), QStringLiteral("DEV"),
                             QStringLiteral("--code"), QStringLiteral("2")});
    EXPECT_EQ(log.codigo, 0) << log.err.toStdString();
    const QStringList linhas = log.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(linhas.size(), 2);
    EXPECT_TRUE(linhas[0].startsWith(QStringLiteral("2\t")));
    EXPECT_TRUE(linhas[0].endsWith(QStringLiteral("\tDEV\trel2.sql\tAlteração"))) << linhas[0].toStdString();
    EXPECT_TRUE(linhas[1].endsWith(QStringLiteral("\tDEV\trel2.sql\tInclusão"))) << linhas[1].toStdString();

    QList<RegistroScript> achados;
    Protocolo::FiltroPesquisa f;
    f.maximo = 10;
    f.codigo = QStringLiteral("2");
    Protocolo::BuscarScripts(sessao, f, 1, [&](const RegistroScript &r) { achados << r; });
    ASSERT_EQ(achados.size(), 1);
    EXPECT_EQ(achados[0].script, QByteArray("novo\r\n"));
}

namespace {

// A script with an arrow on its second line, in UTF-8 with its mark, as a Linux editor may write it.
void escreverSeta(const QString &caminho) {
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xEF\xBB\xBFselect 1;\r\n-- a \xE2\x86\x92 b\r\n");
}

QList<RegistroScript> buscar(Sessao &sessao, const QString &arquivo) {
    QList<RegistroScript> achados;
    Protocolo::FiltroPesquisa f;
    f.maximo = 10;
    f.arquivo = arquivo;
    Protocolo::BuscarScripts(sessao, f, 10, [&](const RegistroScript &r) { achados << r; });
    return achados;
}

} // namespace

TEST_F(ComandosServico, UploadAndUpdateRefuseCharactersTheServiceCannotStoreUnlessToldToReplaceThem) {
    QTemporaryDir dir;
    const QString arquivo = dir.filePath(QStringLiteral("seta.sql"));
    escreverSeta(arquivo);
    const QStringList upload{QStringLiteral("upload"), QStringLiteral("--system"), QStringLiteral("KOR"),
                             QStringLiteral("--dir"), dir.path()};
    const QStringList update{QStringLiteral("update"), QStringLiteral("--code"), QStringLiteral("1"),
                             arquivo};
    const QString motivo = arquivo + QStringLiteral(": caracteres que o serviço não armazena");
    const QString local = QStringLiteral("linha 2, coluna 6: “→” (U+2192)");

    for (const QStringList &args : {upload, update}) {
        const Saida s = rodar(args);
        EXPECT_EQ(s.codigo, 1) << s.err.toStdString();
        EXPECT_TRUE(s.err.contains(motivo)) << s.err.toStdString();
        EXPECT_TRUE(s.err.contains(local)) << s.err.toStdString();
        EXPECT_TRUE(s.err.contains(QStringLiteral("Nada foi enviado."))) << s.err.toStdString();
        EXPECT_TRUE(s.out.isEmpty()) << s.out.toStdString();
    }
    EXPECT_TRUE(buscar(sessao, QStringLiteral("seta")).isEmpty());
    EXPECT_EQ(buscar(sessao, QStringLiteral("rel1")).value(0).script, QByteArray("select '\xE7';\r\n"));

    const QByteArray trocado("select 1;\r\n-- a ? b\r\n");
    for (const QStringList &args : {upload, update}) {
        const Saida s = rodar(args + QStringList{QStringLiteral("--replace-unsupported")});
        EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
    }
    const QList<RegistroScript> enviados = buscar(sessao, QStringLiteral("seta"));
    ASSERT_EQ(enviados.size(), 1);
    EXPECT_EQ(enviados[0].script, trocado);
    EXPECT_EQ(buscar(sessao, QStringLiteral("rel1")).value(0).script, trocado);
}

struct CasoFalha {
    const char *nome;
    QStringList args;
    bool comUsuario;
    int codigo;
    const char *mensagem;
};

class ComandosServicoFalham : public ComandosServico, public testing::WithParamInterface<CasoFalha> {};

TEST_P(ComandosServicoFalham, ExitCodeAndMessage) {
    const Saida s = rodar(GetParam().args, GetParam().comUsuario);
    EXPECT_EQ(s.codigo, GetParam().codigo) << s.err.toStdString();
    EXPECT_TRUE(s.err.contains(QString::fromUtf8(GetParam().mensagem))) << s.err.toStdString();
    if (GetParam().codigo == 2) {
        EXPECT_TRUE(s.err.contains(QStringLiteral("usage:"))) << s.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ComandosServicoFalham,
    testing::Values(
        CasoFalha{"maximo_acima_de_500",
                  {"search", "--max", "501"},
                  true,
                  2,
                  "A quantidade máxima de registros não pode ser superior a 500."},
        CasoFalha{"data_invalida", {"log", "--from", "01/02/2024"}, true, 2, "--from"},
        CasoFalha{"opcao_desconhecida", {"search", "--nada"}, true, 2, "nada"},
        CasoFalha{"delete_sem_codigo", {"delete"}, true, 2, "--code"},
        CasoFalha{"senha_errada", {"search", "--password", "errada"}, true, 1, "Usuário ou senha inválidos."},
        CasoFalha{"sem_usuario", {"delete", "--code", "1"}, false, 1, "Usuário ou senha inválidos."},
        CasoFalha{"excluir_inexistente", {"delete", "--code", "99"}, true, 1, "Script 99 não encontrado."},
        CasoFalha{"atualizar_inexistente",
                  {"update", "--code", "99", "/dev/null"},
                  true,
                  1,
                  "Script 99 não encontrado."},
        CasoFalha{
            "arquivo_inexistente", {"update", "--code", "1", "/nao/existe.sql"}, true, 1, "/nao/existe.sql"},
        CasoFalha{"nada_encontrado",
                  {"search", "--file", "xyz"},
                  true,
                  0,
                  "Não foram encontrados scripts com os parâmetros informados."},
        // The reference service counts at most "maximo" records: its count of 0 decides.
        CasoFalha{"maximo_zero",
                  {"search", "--max", "0"},
                  true,
                  0,
                  "Não foram encontrados scripts com os parâmetros informados."},
        CasoFalha{"log_nada_encontrado",
                  {"log", "--by", "NINGUEM"},
                  true,
                  0,
                  "Não foram encontrados logs com os parâmetros informados."}),
    [](const testing::TestParamInfo<CasoFalha> &info) { return std::string(info.param.nome); });

TEST(ComandosSemServico, ATransportFailurePrintsItsOwnTextOrWithJsonTheEnvelope) {
    int porta;
    {
        TestServer fechado;
        porta = fechado.port();
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRISEL_SERVICE_URL"), QStringLiteral("http://127.0.0.1:%1").arg(porta));
    env.insert(QStringLiteral("BRISEL_USER"), QStringLiteral("dev"));
    const QString falha =
        QStringLiteral("Não foi possível conectar ao serviço em 127.0.0.1:%1 (conexão recusada).").arg(porta);
    const ExecucaoCli s = executarCli({QStringLiteral("search")}, env);
    EXPECT_EQ(s.codigo, 1);
    EXPECT_EQ(s.err, falha + QLatin1Char('\n'));

    for (const char *comando : {"search", "log", "version"}) {
        const ExecucaoCli j = executarCli({QString::fromLatin1(comando), QStringLiteral("--json")}, env);
        EXPECT_EQ(j.codigo, 1) << comando;
        const json::TJSONObject envelope(j.out);
        EXPECT_FALSE(envelope.getBoolean(QStringLiteral("success"))) << comando;
        EXPECT_EQ(envelope.getString(QStringLiteral("message")), falha) << comando;
    }
}
