#include "json/Boolean.h"
#include "json/Exceptions.h"
#include "json/JSONTokener.h"
#include "json/Null.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <gtest/gtest.h>

using namespace json;

namespace {

// What the reader makes of an unquoted word: its class and its text form.
struct WordCase {
    const char *word;
    const char *className;
    const char *text;
};

class UnquotedWords : public testing::TestWithParam<WordCase> {};

TEST_P(UnquotedWords, BecomeNumbersKeywordsOrStrings) {
    const WordCase &c = GetParam();
    const TJSONArray a(QStringLiteral("[%1]").arg(QString::fromUtf8(c.word)));
    ASSERT_EQ(a.length(), 1);
    EXPECT_EQ(a.get(0)->className(), QLatin1String(c.className));
    EXPECT_EQ(a.get(0)->toString(), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Words, UnquotedWords,
    testing::Values(WordCase{"42", "_Integer", "42"}, WordCase{"-2147483648", "_Integer", "-2147483648"},
                    WordCase{"2147483648", "_Double", "\"2147483648.00\""},
                    WordCase{"3.25", "_Double", "\"3.25\""}, WordCase{".5", "_Double", "\"0.50\""},
                    WordCase{"1e3", "_Double", "\"1000.00\""}, WordCase{"007", "_Integer", "7"},
                    WordCase{"0", "_Integer", "0"}, WordCase{"+5", "_Integer", "5"},
                    WordCase{"0x10", "_Integer", "16"}, WordCase{"0X1f", "_Integer", "31"},
                    WordCase{"0xFFFFFFFF", "_Integer", "-1"},
                    WordCase{"0x123456789", "_Integer", "591751049"}, WordCase{"0xZZ", "_String", "0xZZ"},
                    WordCase{"12abc", "_String", "12abc"}, WordCase{"1.2.3", "_String", "1.2.3"},
                    WordCase{"-", "_String", "-"}, WordCase{"yes", "_String", "yes"},
                    WordCase{"NaN", "_String", "NaN"}, WordCase{"-Infinity", "_String", "-Infinity"},
                    WordCase{"hello  world ", "_String", "hello  world"}, WordCase{"é", "_String", "é"},
                    WordCase{"tRuE", "_Boolean", "true"}, WordCase{"FALSE", "_Boolean", "false"},
                    WordCase{"Null", "NULL", "null"}, WordCase{"\"42\"", "_String", "42"},
                    WordCase{"'a\"b'", "_String", "a\"b"}));

TEST(Reader, KeywordsAreTheSharedValues) {
    const TJSONArray a(QStringLiteral("[True, false, NULL]"));
    EXPECT_EQ(a.get(0), Boolean::True());
    EXPECT_EQ(a.get(1), Boolean::False());
    EXPECT_EQ(a.get(2), Null::instance());
}

// Texts the reader accepts, and the compact text it makes of them.
struct AcceptCase {
    const char *text;
    const char *compact;
};

class AcceptedObjects : public testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptedObjects, ReadAsExpected) {
    EXPECT_EQ(TJSONObject(QString::fromUtf8(GetParam().text)).toString(),
              QString::fromUtf8(GetParam().compact));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AcceptedObjects,
    testing::Values(
        AcceptCase{"{\"success\":true,\"chave\":\"abc\"}", "{\"success\":true,\"chave\":\"abc\"}"},
        AcceptCase{"  \n# comment\n/* block */ {a:1} trailing [garbage", "{\"a\":1}"},
        AcceptCase{"{\"a\":1}{\"b\":2}", "{\"a\":1}"},
        AcceptCase{"{key: value with blanks, other = x; third => 3,}",
                   "{\"key\":\"value\\u0020with\\u0020blanks\",\"other\":\"x\",\"third\":3}"},
        AcceptCase{"{a:1;}", "{\"a\":1}"}, AcceptCase{"{}", "{}"}, AcceptCase{"{ }", "{}"},
        AcceptCase{"{TRUE:1, 1.5:2, 7:3, {x:1}:4}",
                   "{\"true\":1,\"\\\"1.50\\\"\":2,\"7\":3,\"\\u007B\\\"x\\\"\\u003A1\\u007D\":4}"},
        AcceptCase{"{\"k\":1,\"k\":2}", "{\"k\":1,\"k\":1}"},
        AcceptCase{"{'s':'say \"hi\"'}", "{\"s\":\"say\\u0020\\\"hi\\\"\"}"},
        AcceptCase{"{\"e\":\"\\n\\t\\b\\f\\r\\/\\'\\q\\\\\\\"\\u00e9\\uD834\\uDD1E\"}",
                   "{\"e\":\"\\n\\t\\b\\f\\r/'q\\\\\\\"\\u00E9\\uD834\\uDD1E\"}"},
        AcceptCase{"{\"tab\":\"a\tb\"}", "{\"tab\":\"a\\tb\"}"}, AcceptCase{"{\"\":0}", "{\"\":0}"},
        AcceptCase{"{a:[,1,,2,],b:[,],c:[]}", "{\"a\":[null,1,null,2],\"b\":[null],\"c\":[]}"},
        AcceptCase{"{a:[1,5]}", "{\"a\":[1,5]}"},
        AcceptCase{"{a:\"x\" /* c */ , // c\n b:2}", "{\"a\":\"x\",\"b\":2}"}));

// Texts the reader refuses: the specific message and the position reported.
struct RejectCase {
    bool array;
    const char *text;
    const char *message;
    int position;
};

class RejectedTexts : public testing::TestWithParam<RejectCase> {};

TEST_P(RejectedTexts, FailWithPositionAndExcerpt) {
    const RejectCase &c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    try {
        if (c.array)
            TJSONArray{text};
        else
            TJSONObject{text};
        FAIL() << "accepted " << c.text;
    } catch (const ParseException &e) {
        const QString excerpt = c.position <= text.size() ? text.mid(c.position - 1, 10) : QString();
        EXPECT_EQ(e.message(), QString::fromUtf8(c.message) +
                                   QStringLiteral(" at character %1 of ").arg(c.position) + text +
                                   QStringLiteral(" próximo a : ") + excerpt +
                                   QStringLiteral("\n\r erro no caracter : %1").arg(c.position));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RejectedTexts,
    testing::Values(RejectCase{false, "", "A TJSONObject must begin with \"{\"", 2},
                    RejectCase{false, "abc", "A TJSONObject must begin with \"{\"", 2},
                    RejectCase{false, "[1]", "A TJSONObject must begin with \"{\"", 2},
                    RejectCase{true, "{\"a\":1}", "A TJSONArray must start with \"[\"", 2},
                    RejectCase{false, "{\"a\":1", "Expected a \",\" or \"}\"", 8},
                    RejectCase{false, "{\"a\":1,", "A TJSONObject must end with \"}\"", 9},
                    RejectCase{false, "{\"a\" 1}", "Expected a \":\" after a key", 7},
                    RejectCase{false, "{\"a\":}", "Missing value.", 6},
                    RejectCase{false, "{\"a\":", "Missing value.", 6},
                    RejectCase{false, "{\"a\":/x}", "Missing value.", 6},
                    RejectCase{false, "{\"a\":\"x\" 2}", "Expected a \",\" or \"}\"", 11},
                    RejectCase{false, "{\"a\":\"x", "Unterminated string", 9},
                    RejectCase{false, "{\"a\":\"x\ny\"}", "Unterminated string", 9},
                    RejectCase{false, "{\"a\":\"\\u12", "Substring bounds error", 9},
                    RejectCase{false, "{\"100%\":/* x", "Unclosed comment.", 14},
                    RejectCase{true, "[\"a\" 2]", "Expected a \",\" or \"]\"", 7},
                    RejectCase{true, "[1", "Expected a \",\" or \"]\"", 4},
                    RejectCase{true, "[", "Missing value.", 2}));

TEST(Reader, ASyntaxErrorInALongTextQuotesOnlyThePartAroundThePosition) {
    // A reply of megabytes with one bad spot in its middle.
    const QString inicio = QStringLiteral("[") + QStringLiteral("1,").repeated(500000);
    const QString texto = inicio + QStringLiteral("\"a\" 2") + QStringLiteral(",3").repeated(500000) + "]";
    const int posicao = int(inicio.size()) + 6; // just after the 2 that follows "a"
    try {
        TJSONArray{texto};
        FAIL() << "accepted";
    } catch (const ParseException &e) {
        const QString redor = texto.mid(posicao - 1 - JSONTokener::MaxQuoted / 2, JSONTokener::MaxQuoted);
        EXPECT_EQ(e.message(), QStringLiteral("Expected a \",\" or \"]\" at character %1 of …").arg(posicao) +
                                   redor + QStringLiteral("… próximo a : ") + texto.mid(posicao - 1, 10) +
                                   QStringLiteral("\n\r erro no caracter : %1").arg(posicao));
    }
}

TEST(Reader, ASyntaxErrorAtTheEndOfALongTextQuotesItsEnd) {
    const QString texto = QStringLiteral("{\"a\":\"") + QString(1000, u'x');
    try {
        TJSONObject{texto};
        FAIL() << "accepted";
    } catch (const ParseException &e) {
        const int posicao = int(texto.size()) + 2;
        EXPECT_EQ(e.message(), QStringLiteral("Unterminated string at character %1 of …").arg(posicao) +
                                   texto.right(JSONTokener::MaxQuoted / 2) +
                                   QStringLiteral(" próximo a : \n\r erro no caracter : %1").arg(posicao));
    }
}

TEST(Reader, NonHexadecimalEscapeIsAConversionError) {
    EXPECT_THROW(TJSONObject(QStringLiteral("{\"a\":\"\\u00zz\"}")), ConvertError);
}

TEST(Reader, NullCharacterEndsTheText) {
    EXPECT_EQ(TJSONArray(QStringLiteral("[1]") + QChar(0) + QStringLiteral("x")).length(), 1);
    EXPECT_THROW(TJSONObject(QStringLiteral("{\"a\":") + QChar(0) + QStringLiteral("1}")), ParseException);
    EXPECT_THROW(TJSONObject(QStringLiteral("{\"a\":\"x") + QChar(0) + QStringLiteral("y\"}")),
                 ParseException);
}

QString nested(int depth, const QString &open, const QString &inner, const QString &close) {
    return open.repeated(depth) + inner + close.repeated(depth);
}

TEST(Reader, NestingIsBounded) {
    const int max = JSONTokener::MaxDepth;
    EXPECT_NO_THROW(TJSONArray(nested(max, QStringLiteral("["), QStringLiteral("1"), QStringLiteral("]"))));
    EXPECT_NO_THROW(TJSONObject(
        QStringLiteral("{\"a\":") +
        nested(max - 1, QStringLiteral("{\"a\":"), QStringLiteral("1"), QStringLiteral("}")) + u'}'));
    const QString cases[] = {
        nested(max + 1, QStringLiteral("["), QStringLiteral("1"), QStringLiteral("]")), QString(200000, u'['),
        nested(100000, QStringLiteral("[{\"\":"), QString(), QString()),
        QStringLiteral("{") + QString(200000, u'{'), // objects as keys
    };
    for (const QString &text : cases) {
        try {
            if (text.startsWith(u'['))
                TJSONArray{text};
            else
                TJSONObject{text};
            FAIL() << "accepted nesting of " << text.size() << " characters";
        } catch (const ParseException &e) {
            EXPECT_TRUE(e.message().startsWith(
                QStringLiteral("Nesting too deep (more than 512 levels) at character ")))
                << e.message().left(80).toStdString();
        }
    }
}

TEST(Reader, ReplyShapes) {
    const TJSONObject login(QStringLiteral("{success: true, chave: \"a1b2\"}"));
    EXPECT_TRUE(login.getBoolean(QStringLiteral("success")));
    EXPECT_EQ(login.getString(QStringLiteral("chave")), QStringLiteral("a1b2"));

    const TJSONArray page(
        QStringLiteral("[{\"CODIGO_SC\":7,\"NOME_ARQUIVO_SC\":\"a.sql\",\"SCRIPT_SC\":\"0x41\"},"
                       "{\"CODIGO_SC\":\"8\",\"NOME_ARQUIVO_SC\":\"b.sql\",\"SCRIPT_SC\":null}]"));
    ASSERT_EQ(page.length(), 2);
    EXPECT_EQ(page.getJSONObject(0)->getInt(QStringLiteral("codigo_sc")), 7);
    EXPECT_EQ(page.getJSONObject(1)->getInt(QStringLiteral("CODIGO_SC")), 8);
    EXPECT_EQ(page.getJSONObject(1)->getString(QStringLiteral("SCRIPT_SC")), QStringLiteral("null"));
}

} // namespace
