#include "json/Double.h"
#include "json/Integer.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace json;

namespace {

TEST(WriterQuote, EscapesEverythingOutsideTheSafeSet) {
    struct Case {
        QString in;
        const char *out;
    } cases[] = {
        {QString(), "\"\""},
        {QStringLiteral("a b"), "\"a\\u0020b\""},
        {QStringLiteral("é€"), "\"\\u00E9\\u20AC\""},
        {QString(QChar(1)), "\"\\u0001\""},
        {QStringLiteral("\t\n\r\b\f"), "\"\\t\\n\\r\\b\\f\""},
        {QStringLiteral("</a/"), "\"\\u003C\\/a/\""},
        {QStringLiteral("\"\\"), "\"\\\"\\\\\""},
        {QStringLiteral("'@$_-.!()*"), "\"'@$_-.!()*\""},
        {QStringLiteral(",:+"), "\"\\u002C\\u003A\\u002B\""},
        {QString(QChar(127)), "\"\\u007F\""},
        {QStringLiteral("\U0001D11E"), "\"\\uD834\\uDD1E\""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TJSONObject::quote(c.in), QString::fromUtf8(c.out)) << c.out;
}

TEST(WriterNumbers, DoublesAreQuotedWithTwoDecimalsInAnyLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    struct Case {
        double value;
        const char *out;
    } cases[] = {{2, "\"2.00\""}, {-1.5, "\"-1.50\""}, {1234567.891, "\"1234567.89\""}, {-0.001, "\"0.00\""}};
    for (const Case &c : cases)
        EXPECT_EQ(Double(c.value).toString(), QLatin1String(c.out));
    EXPECT_EQ(TJSONObject::numberToString(nullptr), QString());
    QLocale::setDefault(saved);
    EXPECT_EQ(Integer(-42).toString(), QStringLiteral("-42"));
    EXPECT_EQ(TJSONObject::valueToString(nullptr), QStringLiteral("null"));
    const Integer three(3);
    EXPECT_EQ(TJSONObject::valueToString(&three), QStringLiteral("3"));
}

struct IndentCase {
    const char *json;
    int indentFactor;
    const char *expected;
};

class IndentedForm : public testing::TestWithParam<IndentCase> {};

TEST_P(IndentedForm, Layout) {
    const IndentCase &c = GetParam();
    const QString text = QString::fromUtf8(c.json);
    const QString out = text.startsWith(u'[') ? TJSONArray(text).toString(c.indentFactor)
                                              : TJSONObject(text).toString(c.indentFactor);
    EXPECT_EQ(out, QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IndentedForm,
    testing::Values(
        IndentCase{"{\"a\":1,\"b\":[1,2]}", 2, "{\n  \"a\": 1,\n  \"b\": [\n    1,\n    2\n  ]\n}"},
        IndentCase{"{\"a\":{\"x\":1,\"y\":2}}", 2, "{\"a\": {\n  \"x\": 1,\n  \"y\": 2\n}}"},
        IndentCase{"{\"a\":1,\"b\":2}", 0, "{\n\"a\": 1,\n\"b\": 2\n}"},
        IndentCase{"{\"a\":1,\"b\":2}", -3, "{\n\"a\": 1,\n\"b\": 2\n}"}, IndentCase{"{}", 2, "{}"},
        IndentCase{"[]", 2, "[]"}, IndentCase{"[[1]]", 2, "[[1]]"},
        IndentCase{"[1,,true]", 1, "[\n 1,\n null,\n true\n]"},
        IndentCase{"{\"k\":1,\"K\":2}", 1, "{\n \"k\": 1,\n \"K\": 1\n}"},
        IndentCase{"[{\"a\":1,\"b\":null},{}]", 2, "[\n  {\n    \"a\": 1,\n    \"b\": null\n  },\n  {}\n]"}));

TEST(WriterCompact, NoBlanksOutsideStrings) {
    const TJSONObject o(
        QStringLiteral("{ \"o\" : { \"x\" : [ 1 , 2 ] } , \"a\" : [ { } , [ ] , \"a b\" ] , \"n\" : null }"));
    EXPECT_EQ(o.toString(), QStringLiteral("{\"o\":{\"x\":[1,2]},\"a\":[{},[],\"a\\u0020b\"],\"n\":null}"));
    EXPECT_EQ(TJSONArray(QStringLiteral("[1,,2]")).join(QStringLiteral(" | ")),
              QStringLiteral("1 | null | 2"));
}

} // namespace
