#include "service/Protocolo.h"
#include "tests/cli/ComandosServico.h"
#include "json/JSONWriter.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// --json: the output of each command read back with the program's own JSON reader.

namespace {

using Objeto = QList<QPair<QString, QString>>; // key and value as the writer writes it

QString texto(const QString &s) {
    return json::JSONWriter::quote(s);
}

// Each record must hold exactly the keys expected, with those values and kinds.
void conferir(const QString &saida, const QList<Objeto> &esperados) {
    ASSERT_TRUE(saida.endsWith(QLatin1Char('\n'))) << saida.toStdString();
    const json::TJSONArray documento(saida);
    ASSERT_EQ(documento.length(), esperados.size()) << saida.toStdString();
    for (int i = 0; i < documento.length(); ++i) {
        const json::TJSONObject *registro = documento.getJSONObject(i);
        EXPECT_EQ(registro->length(), esperados[i].size()) << registro->toString().toStdString();
        for (const auto &[chave, valor] : esperados[i])
            EXPECT_EQ(json::JSONWriter::valueToString(registro->opt(chave)), valor)
                << chave.toStdString() << " in " << registro->toString().toStdString();
    }
}

void escrever(const QString &caminho, const QByteArray &conteudo) {
    QFile f(caminho);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(conteudo);
}

} // namespace

TEST_F(ComandosServico, JsonOfSearchLogAndVersionHoldsWhatTheServiceHolds) {
    Protocolo::FiltroPesquisa filtro;
    filtro.maximo = 10;
    QList<Objeto> scripts;
    Protocolo::BuscarScripts(sessao, filtro, 10, [&](const RegistroScript &r) {
        scripts << Objeto{{QStringLiteral("codigo"), QString::number(r.codigo)},
                          {QStringLiteral("data"), texto(Protocolo::DataInsercao(r.data))},
                          {QStringLiteral("arquivo"), texto(r.arquivo)}};
    });
    ASSERT_EQ(scripts.size(), 3);
    QList<Objeto> logs;
    Protocolo::BuscarLogs(sessao, filtro, 10, [&](const RegistroLog &r) {
        logs << Objeto{{QStringLiteral("codigo"), QString::number(r.idscript)},
                       {QStringLiteral("data"), texto(Protocolo::DataInsercao(r.data_alteracao))},
                       {QStringLiteral("usuario"), texto(r.nome)},
                       {QStringLiteral("arquivo"), texto(r.arquivo)},
                       {QStringLiteral("descricao"), texto(r.descricao)}};
    });
    ASSERT_EQ(logs.size(), 3);

    const struct {
        QStringList args;
        QList<Objeto> esperados;
    } casos[] = {
        {{QStringLiteral("search"), QStringLiteral("--json")}, scripts},
        {{QStringLiteral("search"), QStringLiteral("--json"), QStringLiteral("--file"),
          QStringLiteral("rel2")},
         {scripts[1]}},
        {{QStringLiteral("log"), QStringLiteral("--json")}, logs},
        {{QStringLiteral("version"), QStringLiteral("--json")},
         {{{QStringLiteral("versao"), texto(QStringLiteral("1.0.8"))},
           {QStringLiteral("versao_local"), texto(QStringLiteral(BRISEL_VERSION))},
           {QStringLiteral("mais_nova"), QStringLiteral("true")}}}},
        // Nothing found: an empty array, still a success.
        {{QStringLiteral("search"), QStringLiteral("--json"), QStringLiteral("--file"),
          QStringLiteral("xyz")},
         {}},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.args.join(QLatin1Char(' ')).toStdString());
        const ExecucaoCli s = rodar(caso.args);
        EXPECT_EQ(s.codigo, 0) << s.err.toStdString();
        conferir(s.out, caso.esperados);
    }
}

TEST_F(ComandosServico, JsonOfUploadListsTheFilesSent) {
    QTemporaryDir dir;
    const QString caminho = dir.filePath(QStringLiteral("novo.sql"));
    escrever(caminho, "select 1;\r\n");
    // On an even second: the queue keeps times at two-second resolution.
    const QDateTime modificado(QDate(2024, 5, 6), QTime(10, 0, 0));
    {
        QFile f(caminho);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(modificado, QFileDevice::FileModificationTime));
    }
    const QString data = texto(QStringLiteral("2024-05-06 10:00:00"));
    const QList<Objeto> esperados{
        {{QStringLiteral("data"), data}, {QStringLiteral("arquivo"), texto(caminho)}}};
    const QStringList upload{QStringLiteral("upload"),   QStringLiteral("--json"),
                             QStringLiteral("--system"), QStringLiteral("TALAO"),
                             QStringLiteral("--dir"),    dir.path(),
                             QStringLiteral("--since"),  QStringLiteral("2000-01-01")};

    const ExecucaoCli ensaio = rodar(upload + QStringList{QStringLiteral("--dry-run")});
    EXPECT_EQ(ensaio.codigo, 0) << ensaio.err.toStdString();
    conferir(ensaio.out, esperados);

    const ExecucaoCli envio = rodar(upload);
    EXPECT_EQ(envio.codigo, 0) << envio.err.toStdString();
    conferir(envio.out, esperados);
    Protocolo::FiltroPesquisa filtro;
    filtro.maximo = 10;
    filtro.sistema = QStringLiteral("TALAO");
    QStringList guardados;
    Protocolo::BuscarScripts(sessao, filtro, 10, [&](const RegistroScript &r) { guardados << r.arquivo; });
    EXPECT_EQ(guardados, QStringList{QStringLiteral("novo.sql")});
}

namespace {

struct CasoEnvelope {
    const char *nome;
    QStringList args;
    const char *mensagem;
};

class EnvelopeDeFalha : public ComandosServico, public testing::WithParamInterface<CasoEnvelope> {};

} // namespace

TEST_P(EnvelopeDeFalha, IsTheOnlyThingOnStandardOutput) {
    QTemporaryDir dir; // "{DIR}": a folder with one script
    escrever(dir.filePath(QStringLiteral("a.sql")), "select 1;\r\n");
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("{DIR}"), dir.path());
    const ExecucaoCli s = rodar(args + QStringList{QStringLiteral("--json")});
    EXPECT_EQ(s.codigo, 1) << s.err.toStdString();
    const json::TJSONObject envelope(s.out);
    EXPECT_EQ(envelope.keys(), (QStringList{QStringLiteral("success"), QStringLiteral("message")}));
    EXPECT_FALSE(envelope.getBoolean(QStringLiteral("success")));
    EXPECT_EQ(envelope.getString(QStringLiteral("message")), QString::fromUtf8(GetParam().mensagem));
    // Standard error still tells a person why.
    EXPECT_TRUE(s.err.contains(QString::fromUtf8(GetParam().mensagem))) << s.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Casos, EnvelopeDeFalha,
    testing::Values(
        CasoEnvelope{"senha_errada", {"search", "--password", "errada"}, "Usuário ou senha inválidos."},
        CasoEnvelope{"log_senha_errada", {"log", "--password", "errada"}, "Usuário ou senha inválidos."},
        CasoEnvelope{"upload_sem_pasta",
                     {"upload", "--system", "KOR", "--dir", "/nao/existe"},
                     "Diretório base inválido."},
        CasoEnvelope{
            "upload_senha_errada",
            {"upload", "--system", "KOR", "--dir", "{DIR}", "--since", "2000-01-01", "--password", "x"},
            "Usuário ou senha inválidos."},
        CasoEnvelope{"upload_sem_arquivos",
                     {"upload", "--system", "KOR", "--dir", "{DIR}", "--mask", "*.txt"},
                     "Não existem scripts a serem enviados."},
        CasoEnvelope{"validate_sem_arquivo",
                     {"validate", "--dry-run", "/nao/existe.sql"},
                     "validate: /nao/existe.sql: no such file"}),
    [](const testing::TestParamInfo<CasoEnvelope> &info) { return std::string(info.param.nome); });

TEST_F(ComandosServico, JsonUsageErrorsStayUsageErrors) {
    for (const QStringList &args :
         {QStringList{QStringLiteral("search"), QStringLiteral("--json"), QStringLiteral("--max"),
                      QStringLiteral("501")},
          QStringList{QStringLiteral("upload"), QStringLiteral("--json")},
          QStringList{QStringLiteral("version"), QStringLiteral("--json"), QStringLiteral("extra")}}) {
        const ExecucaoCli s = rodar(args);
        EXPECT_EQ(s.codigo, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(s.out.isEmpty()) << s.out.toStdString();
        EXPECT_TRUE(s.err.contains(QStringLiteral("usage:"))) << s.err.toStdString();
    }
}
