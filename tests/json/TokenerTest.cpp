#include "json/Exceptions.h"
#include "json/JSONTokener.h"

#include <gtest/gtest.h>

using namespace json;

namespace {

TEST(Tokener, EndOfTextReadsAsNullAndThePositionStopsAtLPlusTwo) {
    JSONTokener x(QStringLiteral("ab"));
    EXPECT_EQ(x.next(), u'a');
    EXPECT_EQ(x.next(), u'b');
    EXPECT_TRUE(x.more());
    EXPECT_EQ(x.next(), QChar());
    EXPECT_EQ(x.index(), 4);
    EXPECT_FALSE(x.more());
    EXPECT_EQ(x.next(), QChar());
    EXPECT_EQ(x.index(), 4);
    x.back();
    EXPECT_EQ(x.index(), 3);
    EXPECT_EQ(x.next(), QChar());

    JSONTokener y(QStringLiteral("a"));
    y.back();
    EXPECT_EQ(y.index(), 1);
}

TEST(Tokener, NextWithCountOrExpectedCharacter) {
    JSONTokener x(QStringLiteral("abcd"));
    EXPECT_EQ(x.next(2), QStringLiteral("ab"));
    try {
        x.next(3);
        FAIL() << "read past the end";
    } catch (const ParseException &e) {
        EXPECT_EQ(
            e.message(),
            QStringLiteral(
                "Substring bounds error at character 3 of abcd próximo a : cd\n\r erro no caracter : 3"));
    }
    EXPECT_EQ(x.next(2), QStringLiteral("cd"));
    EXPECT_EQ(x.next(u'\0'), QChar());
    JSONTokener y(QStringLiteral("xy"));
    EXPECT_EQ(y.next('x'), u'x');
    try {
        y.next(u'z');
        FAIL() << "accepted y for z";
    } catch (const ParseException &e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Expected z and instead saw y. at character 3 of xy")))
            << e.message().toStdString();
    }
}

TEST(Tokener, NextCleanSkipsBlanksAndComments) {
    struct Case {
        const char *text;
        char16_t expected;
    } cases[] = {
        {"\x01\x02 \t\n x", u'x'},
        {"# comment\n x", u'x'},
        {"// comment\r\n x", u'x'},
        {"/* a */ x", u'x'},
        {"/* a **/x", u'x'},
        {"/***/x", u'x'},
        {"/x", u'/'},
        {"", 0},
        {"# only a comment", 0},
    };
    for (const Case &c : cases) {
        JSONTokener x(QString::fromUtf8(c.text));
        EXPECT_EQ(x.nextClean(), QChar(c.expected)) << c.text;
    }
    JSONTokener slash(QStringLiteral("/x"));
    slash.nextClean();
    EXPECT_EQ(slash.next(), u'x');

    JSONTokener unclosed(QStringLiteral("/* never"));
    try {
        unclosed.nextClean();
        FAIL() << "unclosed comment accepted";
    } catch (const ParseException &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Unclosed comment. at character 10 ")));
    }
}

TEST(Tokener, NextToAndSkipping) {
    JSONTokener x(QStringLiteral("  key : value\nnext"));
    EXPECT_EQ(x.nextTo(u':'), QStringLiteral("key"));
    EXPECT_EQ(x.next(), u':');
    EXPECT_EQ(x.nextTo(u':'), QStringLiteral("value"));
    EXPECT_EQ(x.next(), u'\n');
    EXPECT_EQ(x.nextTo(u':'), QStringLiteral("next"));
    EXPECT_EQ(x.next(), QChar());

    JSONTokener d(QStringLiteral("  abc;def"));
    EXPECT_EQ(d.nextTo(QStringLiteral(",;")), u'a');
    EXPECT_EQ(d.next(), u';');
    JSONTokener e(QStringLiteral("   ;"));
    EXPECT_EQ(e.nextTo(QStringLiteral(";")), QChar());

    JSONTokener s(QStringLiteral("abcabc"));
    EXPECT_EQ(s.skipTo(u'c'), u'c');
    EXPECT_EQ(s.index(), 3);
    s.next();
    EXPECT_EQ(s.skipTo(u'z'), QChar());
    EXPECT_EQ(s.index(), 4);
    s.skipPast(QStringLiteral("bc"));
    EXPECT_EQ(s.index(), 7);
    s.skipPast(QStringLiteral("zz"));
    EXPECT_EQ(s.index(), 7);
    JSONTokener p(QStringLiteral("abc"));
    p.skipPast(QStringLiteral("zz"));
    EXPECT_EQ(p.index(), 4);
    EXPECT_TRUE(p.more());
    EXPECT_EQ(p.next(), QChar());
    EXPECT_FALSE(p.more());
}

TEST(Tokener, Unescape) {
    struct Case {
        const char *in;
        const char *out;
    } cases[] = {
        {"a+b%41", "a bA"}, {"%", "%"},   {"50%", "50%"}, {"%4", "%4"},
        {"%zz1", "%zz1"},   {"%e9", "é"}, {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(JSONTokener::unescape(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
    EXPECT_EQ(JSONTokener::dehexchar(u'7'), 7);
    EXPECT_EQ(JSONTokener::dehexchar(u'f'), 15);
    EXPECT_EQ(JSONTokener::dehexchar(u'G'), -1);
}

TEST(Tokener, TextFormAndSyntaxErrorLayout) {
    JSONTokener x(QStringLiteral("0123456789abcdef%"));
    x.next(3);
    EXPECT_EQ(x.toString(), QStringLiteral(" at character 4 of 0123456789abcdef%"));
    const ParseException e = x.syntaxError(QStringLiteral("Bad %1"));
    EXPECT_EQ(
        e.message(),
        QStringLiteral(
            "Bad %1 at character 4 of 0123456789abcdef% próximo a : 3456789abc\n\r erro no caracter : 4"));
}

} // namespace
