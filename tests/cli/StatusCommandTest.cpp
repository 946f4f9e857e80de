#include "service/Protocolo.h"
#include "tests/cli/ComandosServico.h"
#include "json/JSONWriter.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

// `status` and `upload --skip-stored` against the reference service, which holds rel1.sql,
// rel2.sql and rel3.sql for KOR as "select 'ç';" with CR LF.

namespace {

class StatusDaPasta : public ComandosServico {
protected:
    void SetUp() override {
        ComandosServico::SetUp();
        Protocolo::Inserir(sessao, QDateTime(QDate(2024, 5, 4), QTime(10, 0, 0)), QStringLiteral("talao.sql"),
                           QStringLiteral("TALAO"), QByteArray("select 4;\r\n"));
        ASSERT_TRUE(QDir(pasta.path()).mkdir(QStringLiteral("sub")));
        escrever(QStringLiteral("rel1.sql"), "select '\xC3\xA7';\n"); // UTF-8 with LF: the same text as sent
        escrever(QStringLiteral("sub/rel2.sql"), "select '\xE7';\r\n"); // in another folder
        escrever(QStringLiteral("rel3.sql"), "select 3;\r\n");          // edited
        escrever(QStringLiteral("novo.sql"), "select 5;\r\n");
        escrever(QStringLiteral("talao.sql"), "select 4;\r\n"); // stored only under TALAO
    }

    void escrever(const QString &nome, const QByteArray &conteudo) {
        QFile f(pasta.filePath(nome));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(conteudo);
    }

    QStringList comando(const char *nome, const char *sistema = "KOR") {
        return {QString::fromLatin1(nome),
                QStringLiteral("--system"),
                QString::fromLatin1(sistema),
                QStringLiteral("--dir"),
                pasta.path(),
                QStringLiteral("--since"),
                QStringLiteral("2000-01-01")};
    }

    // Name and text of every script the service holds for the system, in code order.
    QStringList guardados(const QString &sistema) {
        Protocolo::FiltroPesquisa filtro;
        filtro.maximo = 100;
        filtro.sistema = sistema;
        QStringList nomes;
        Protocolo::BuscarScripts(sessao, filtro, 100, [&](const RegistroScript &r) {
            nomes << r.arquivo + QLatin1Char(' ') + QString::fromLatin1(r.script.trimmed());
        });
        return nomes;
    }

    QTemporaryDir pasta;
};

} // namespace

TEST_F(StatusDaPasta, EachFileInQueueOrderWithItsStateAndCode) {
    const ExecucaoCli fila = rodar(comando("upload") << QStringLiteral("--dry-run"));
    ASSERT_EQ(fila.codigo, 0) << fila.err.toStdString();
    QStringList ordem;
    for (const QString &linha : fila.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        ordem << linha.section(QLatin1Char('\t'), 1);
    ASSERT_EQ(ordem.size(), 5);

    const struct {
        const char *sistema;
        QMap<QString, QString> esperado; // file name -> state and code
        int codigo;
    } casos[] = {
        {"KOR",
         {{QStringLiteral("rel1.sql"), QStringLiteral("igual\t1")},
          {QStringLiteral("rel2.sql"), QStringLiteral("igual\t2")},
          {QStringLiteral("rel3.sql"), QStringLiteral("alterado\t3")},
          {QStringLiteral("novo.sql"), QStringLiteral("novo\t")},
          {QStringLiteral("talao.sql"), QStringLiteral("novo\t")}},
         3},
        {"TALAO",
         {{QStringLiteral("rel1.sql"), QStringLiteral("novo\t")},
          {QStringLiteral("rel2.sql"), QStringLiteral("novo\t")},
          {QStringLiteral("rel3.sql"), QStringLiteral("novo\t")},
          {QStringLiteral("novo.sql"), QStringLiteral("novo\t")},
          {QStringLiteral("talao.sql"), QStringLiteral("igual\t4")}},
         3},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.sistema);
        const ExecucaoCli s = rodar(comando("status", caso.sistema));
        EXPECT_EQ(s.codigo, caso.codigo) << s.err.toStdString();
        QStringList esperado;
        for (const QString &caminho : ordem)
            esperado << caso.esperado.value(QFileInfo(caminho).fileName()) + QLatin1Char('\t') + caminho;
        EXPECT_EQ(s.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), esperado) << s.out.toStdString();
    }

    // The same in JSON, "codigo" null where the file is new.
    const ExecucaoCli s = rodar(comando("status") << QStringLiteral("--json"));
    EXPECT_EQ(s.codigo, 3) << s.err.toStdString();
    const json::TJSONArray documento(s.out);
    ASSERT_EQ(documento.length(), ordem.size()) << s.out.toStdString();
    for (int i = 0; i < documento.length(); ++i) {
        const json::TJSONObject *registro = documento.getJSONObject(i);
        const QString linha = casos[0].esperado.value(QFileInfo(ordem[i]).fileName());
        EXPECT_EQ(registro->keys(), (QStringList{QStringLiteral("estado"), QStringLiteral("codigo"),
                                                 QStringLiteral("arquivo")}));
        EXPECT_EQ(registro->getString(QStringLiteral("estado")), linha.section(QLatin1Char('\t'), 0, 0));
        const QString codigo = linha.section(QLatin1Char('\t'), 1);
        EXPECT_EQ(json::JSONWriter::valueToString(registro->opt(QStringLiteral("codigo"))),
                  codigo.isEmpty() ? QStringLiteral("null") : codigo);
        EXPECT_EQ(registro->getString(QStringLiteral("arquivo")), ordem[i]);
    }
}

TEST_F(StatusDaPasta, UploadSkipStoredSendsOnlyNewAndChangedFilesAndStatusThenSaysAllIsThere) {
    const ExecucaoCli envio = rodar(comando("upload") << QStringLiteral("--skip-stored"));
    EXPECT_EQ(envio.codigo, 0) << envio.err.toStdString();
    EXPECT_EQ(envio.out.count(QLatin1Char('\n')), 3) << envio.out.toStdString();
    EXPECT_TRUE(envio.err.contains(QStringLiteral("skipped, stored as code 2: ") +
                                   pasta.filePath(QStringLiteral("sub/rel2.sql"))))
        << envio.err.toStdString();
    QStringList kor = guardados(QStringLiteral("KOR"));
    kor.sort();
    EXPECT_EQ(kor,
              (QStringList{QStringLiteral("novo.sql select 5;"), QStringLiteral("rel1.sql select 'ç';"),
                           QStringLiteral("rel2.sql select 'ç';"), QStringLiteral("rel3.sql select 'ç';"),
                           QStringLiteral("rel3.sql select 3;"), QStringLiteral("talao.sql select 4;")}));

    const ExecucaoCli depois = rodar(comando("status"));
    EXPECT_EQ(depois.codigo, 0) << depois.out.toStdString() << depois.err.toStdString();
    EXPECT_EQ(depois.out.count(QStringLiteral("igual\t")), 5) << depois.out.toStdString();

    // Nothing left to send is no failure, and nothing is sent again.
    const ExecucaoCli denovo = rodar(comando("upload") << QStringLiteral("--skip-stored"));
    EXPECT_EQ(denovo.codigo, 0) << denovo.err.toStdString();
    EXPECT_TRUE(denovo.out.isEmpty()) << denovo.out.toStdString();
    EXPECT_EQ(guardados(QStringLiteral("KOR")).size(), 6);
}

TEST_F(StatusDaPasta, ExitCodes) {
    const struct {
        const char *nome;
        QStringList args;
        int codigo;
    } casos[] = {
        {"um_alterado", comando("status") << QStringLiteral("--mask") << QStringLiteral("rel*.sql"), 3},
        {"so_iguais", comando("status") << QStringLiteral("--mask") << QStringLiteral("rel[12].sql"), 0},
        {"algum_novo", comando("status"), 3},
        {"senha_errada", comando("status") << QStringLiteral("--password") << QStringLiteral("errada"), 1},
        {"pasta_inexistente",
         {QStringLiteral("status"), QStringLiteral("--system"), QStringLiteral("KOR"),
          QStringLiteral("--dir"), QStringLiteral("/nao/existe")},
         1},
        {"sem_sistema", {QStringLiteral("status"), QStringLiteral("--dir"), pasta.path()}, 2},
        {"data_invalida", comando("status") << QStringLiteral("--since") << QStringLiteral("ontem"), 2},
        {"argumento_a_mais", comando("status") << QStringLiteral("extra"), 2},
    };
    for (const auto &caso : casos) {
        const ExecucaoCli s = rodar(caso.args);
        EXPECT_EQ(s.codigo, caso.codigo) << caso.nome << ": " << s.out.toStdString() << s.err.toStdString();
    }
}
