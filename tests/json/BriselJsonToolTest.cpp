#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolCase {
    QStringList args;
    QByteArray input; // standard input
    int exitCode;
    QByteArray out;
    QByteArray errStart; // the beginning of standard error
};

class BriselJsonTool : public testing::TestWithParam<ToolCase> {};

TEST_P(BriselJsonTool, AnswersAsTheLibraryReads) {
    const ToolCase &c = GetParam();
    QProcess p;
    p.start(QStringLiteral(BRISEL_JSON_TOOL), c.args);
    ASSERT_TRUE(p.waitForStarted());
    p.write(c.input);
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), c.exitCode);
    EXPECT_EQ(p.readAllStandardOutput(), c.out);
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(err.startsWith(c.errStart)) << err.left(300).toStdString();
    if (c.errStart.isEmpty()) {
        EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    }
}

const QStringList none;
const QStringList indent2 = {QStringLiteral("--indent"), QStringLiteral("2")};
const QStringList array = {QStringLiteral("--array")};

INSTANTIATE_TEST_SUITE_P(
    Cases, BriselJsonTool,
    testing::Values(
        ToolCase{indent2, "{\"a\":1,\"b\":[1,2]}", 0, "{\n  \"a\": 1,\n  \"b\": [\n    1,\n    2\n  ]\n}\n",
                 ""},
        ToolCase{none, "{v: 0xFFFFFFFF, s: 'é'} ignored", 0, "{\"v\":-1,\"s\":\"\\u00E9\"}\n", ""},
        ToolCase{none, "\xEF\xBB\xBF{\"a\":1}", 0, "{\"a\":1}\n", ""},
        ToolCase{array, "[1,,2.5]", 0, "[1,null,\"2.50\"]\n", ""},
        ToolCase{
            {QStringLiteral("--array"), QStringLiteral("--indent=1")}, "[1,2]", 0, "[\n 1,\n 2\n]\n", ""},
        ToolCase{none, "{\"a\":\"x", 1, "",
                 "ParseException: Unterminated string at character 9 of {\"a\":\"x pr\xC3\xB3ximo a : \n\r "
                 "erro no caracter : 9\n"},
        ToolCase{array, "{\"a\":1}", 1, "",
                 "ParseException: A TJSONArray must start with \"[\" at character 2"},
        ToolCase{array, QByteArray(200000, '['), 1, "", "ParseException: Nesting too deep"},
        ToolCase{none, "{\"a\":\"\\u00zz\"}", 1, "", "ConvertError: "},
        ToolCase{{QStringLiteral("--indent")}, "{}", 2, "", "brisel-json: --indent needs a number"},
        ToolCase{{QStringLiteral("--indent"), QStringLiteral("x")},
                 "{}",
                 2,
                 "",
                 "brisel-json: --indent needs a number"},
        ToolCase{{QStringLiteral("--pretty")}, "{}", 2, "", "brisel-json: unknown option"},
        ToolCase{{QStringLiteral("a"), QStringLiteral("b")}, "{}", 2, "", "brisel-json: only one FILE"},
        ToolCase{{QStringLiteral("/nonexistent/reply.json")},
                 "",
                 1,
                 "",
                 "brisel-json: cannot read /nonexistent/reply.json"}));

TEST(BriselJsonToolFile, ReadsTheNamedFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("reply.json")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"success\":true}");
    file.close();
    QProcess p;
    p.start(QStringLiteral(BRISEL_JSON_TOOL), {file.fileName()});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), QByteArray("{\"success\":true}\n"));
}

} // namespace

TEST(BriselJsonToolHelp, HelpAndVersionGoToStandardOutputAndExitZero) {
    struct Caso {
        QStringList args;
        QByteArray inicio;
    };
    for (const Caso &c :
         {Caso{{QStringLiteral("--help")}, "Usage: brisel-json [--array] [--indent N] [FILE]\n"},
          Caso{{QStringLiteral("--array"), QStringLiteral("-h")}, "Usage: brisel-json"},
          Caso{{QStringLiteral("--version")}, "brisel-json " BRISEL_VERSION "\n"}}) {
        QProcess p;
        p.start(QStringLiteral(BRISEL_JSON_TOOL), c.args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << c.args.join(' ').toStdString();
        const QByteArray out = p.readAllStandardOutput();
        EXPECT_TRUE(out.startsWith(c.inicio)) << out.toStdString();
        EXPECT_TRUE(p.readAllStandardError().isEmpty());
    }
    // After "--" it is a file name like any other.
    QProcess p;
    p.start(QStringLiteral(BRISEL_JSON_TOOL), {QStringLiteral("--"), QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().startsWith("brisel-json: cannot read --help"));
}
