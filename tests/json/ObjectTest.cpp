#include "Failure.h"
#include "Tracked.h"

#include "json/Boolean.h"
#include "json/Double.h"
#include "json/Exceptions.h"
#include "json/Integer.h"
#include "json/Null.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace json;

namespace {

// One row of the conversions by value kind: the value as an object text, and what each getter gives.
// A text starting with "!" is the expected exception class name.
struct KindCase {
    const char *json; // the value of key "v"
    const char *getBoolean;
    const char *getDouble;
    const char *getInt;
    const char *optInt;    // with default 99
    const char *optDouble; // with default 9.5
    const char *getString;
};

class ConversionsByKind : public testing::TestWithParam<KindCase> {};

QString outcome(const std::function<QString()> &f) {
    try {
        return f();
    } catch (const ::Exception &e) {
        return QLatin1Char('!') + e.className();
    }
}

TEST_P(ConversionsByKind, ObjectGetters) {
    const KindCase &c = GetParam();
    const TJSONObject o(QStringLiteral("{\"v\":%1}").arg(QString::fromUtf8(c.json)));
    const QString v = QStringLiteral("v");
    EXPECT_EQ(outcome([&] { return o.getBoolean(v) ? QStringLiteral("true") : QStringLiteral("false"); }),
              QString::fromUtf8(c.getBoolean));
    EXPECT_EQ(outcome([&] { return QString::number(o.getDouble(v)); }), QString::fromUtf8(c.getDouble));
    EXPECT_EQ(outcome([&] { return QString::number(o.getInt(v)); }), QString::fromUtf8(c.getInt));
    EXPECT_EQ(QString::number(o.optInt(v, 99)), QString::fromUtf8(c.optInt));
    EXPECT_EQ(QString::number(o.optDouble(v, 9.5)), QString::fromUtf8(c.optDouble));
    EXPECT_EQ(o.getString(v), QString::fromUtf8(c.getString));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ConversionsByKind,
    testing::Values(
        KindCase{"7", "!ClassCastException", "7", "7", "7", "7", "7"},
        KindCase{"2.7", "!ClassCastException", "2.7", "2", "2", "2.7", "\"2.70\""},
        KindCase{"\"2.5\"", "!ClassCastException", "2.5", "2", "99", "2.5", "2.5"},
        KindCase{"\"3.5\"", "!ClassCastException", "3.5", "4", "99", "3.5", "3.5"},
        KindCase{"\"-2.5\"", "!ClassCastException", "-2.5", "-2", "99", "-2.5", "-2.5"},
        KindCase{"\"12\"", "!ClassCastException", "12", "12", "12", "12", "12"},
        KindCase{"\"abc\"", "!ClassCastException", "!ConvertError", "!ConvertError", "99", "9.5", "abc"},
        KindCase{"\"TRUE\"", "true", "!ConvertError", "!ConvertError", "99", "9.5", "TRUE"},
        KindCase{"\"False\"", "false", "!ConvertError", "!ConvertError", "99", "9.5", "False"},
        KindCase{"true", "true", "!NumberFormatException", "!NumberFormatException", "99", "9.5", "true"},
        KindCase{"null", "!ClassCastException", "!NumberFormatException", "!NumberFormatException", "99",
                 "9.5", "null"},
        KindCase{"{\"a\":[1]}", "!ClassCastException", "!NumberFormatException", "!NumberFormatException",
                 "99", "9.5", "{\"a\":[1]}"}));

TEST(ObjectGetters, KeysMatchIgnoringCaseAndTheFirstEntryWins) {
    const TJSONObject o(QStringLiteral("{\"Success\":true,\"k\":\"first\",\"K\":\"second\"}"));
    EXPECT_TRUE(o.getBoolean(QStringLiteral("success")));
    EXPECT_TRUE(o.has(QStringLiteral("SUCCESS")));
    EXPECT_EQ(o.length(), 3);
    EXPECT_EQ(o.keys(), (QStringList{QStringLiteral("Success"), QStringLiteral("k"), QStringLiteral("K")}));
    EXPECT_EQ(o.getString(QStringLiteral("K")), QStringLiteral("first"));
    EXPECT_TRUE(TJSONObject(QStringLiteral("{\"ÇÃO\":1}")).has(QStringLiteral("ção")));
}

TEST(ObjectGetters, FailureMessages) {
    const TJSONObject o(QStringLiteral("{\"success\":1,\"s\":\"x\"}"));
    struct Case {
        std::function<void()> call;
        const char *expected;
    } cases[] = {
        {[&] { o.getBoolean(QStringLiteral("success")); },
         "ClassCastException: TJSONObject[\"success\"] is not a Boolean."},
        {[&] { o.get(QStringLiteral("missing")); },
         "NoSuchElementException: TJSONObject[\"missing\"] not found."},
        {[&] { o.getJSONObject(QStringLiteral("missing")); },
         "NoSuchElementException: TJSONObject[\"missing\"] not found."},
        {[&] { o.getJSONArray(QStringLiteral("missing")); },
         "NoSuchElementException: TJSONObject[\"missing\"] is not a TJSONArray."},
        {[&] { o.getJSONObject(QStringLiteral("s")); },
         "NoSuchElementException: TJSONObject[\"s\"] is not a TJSONObject."},
        {[&] { o.getDouble(QStringLiteral("a b")); },
         "NoSuchElementException: TJSONObject[\"a\\u0020b\"] not found."},
        {[&] { o.opt(QString()); }, "NullPointerException: Null key"},
        {[&] { o.getString(QString()); }, "NullPointerException: Null key"},
        {[&] { o.optString(QString()); }, "NullPointerException: Null key"},
        {[&] { o.optInt(QString()); }, "NullPointerException: Null key"},
        {[&] { o.optBoolean(QString()); }, "NullPointerException: Null key"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(failure(c.call), QString::fromUtf8(c.expected));
    EXPECT_FALSE(o.has(QString()));
}

TEST(ObjectGetters, DefaultsForMissingKeys) {
    const TJSONObject o;
    const QString k = QStringLiteral("k");
    EXPECT_EQ(o.optDouble(k), 0.0);
    EXPECT_EQ(o.optString(k), QString());
    EXPECT_FALSE(o.optBoolean(k));
    EXPECT_TRUE(o.optBoolean(k, true));
    EXPECT_EQ(o.optInt(k), 0);
    EXPECT_EQ(o.optJSONObject(k), nullptr);
    EXPECT_TRUE(o.isNull(k));
    EXPECT_EQ(o.names(), nullptr);
}

TEST(ObjectPut, ReplacesKeepingTheStoredSpellingAndRemovesWithoutValue) {
    TJSONObject o(QStringLiteral("{\"Registros\":1,\"b\":2}"));
    o.put(QStringLiteral("registros"), 5);
    EXPECT_EQ(o.keys(), (QStringList{QStringLiteral("Registros"), QStringLiteral("b")}));
    EXPECT_EQ(o.getInt(QStringLiteral("REGISTROS")), 5);
    o.put(QStringLiteral("b"), nullptr);
    EXPECT_EQ(o.keys(), QStringList{QStringLiteral("Registros")});
    EXPECT_EQ(failure([&] { o.put(QString(), 1); }), QStringLiteral("NullPointerException: Null key."));
    o.putOpt(QStringLiteral("Registros"), nullptr);
    EXPECT_EQ(o.getInt(QStringLiteral("registros")), 5);
    o.put(QStringLiteral("s"), QStringLiteral("text"))
        .put(QStringLiteral("d"), 1.5)
        .put(QStringLiteral("t"), true);
    EXPECT_EQ(o.toString(), QStringLiteral("{\"Registros\":5,\"s\":\"text\",\"d\":\"1.50\",\"t\":true}"));
}

TEST(ObjectPut, DestroysReplacedValuesButNeverTheSharedOnes) {
    {
        TJSONObject o;
        o.put(QStringLiteral("a"), new Tracked);
        o.put(QStringLiteral("a"), new Tracked); // the first is destroyed
        EXPECT_EQ(Tracked::alive, 1);
        TZAbstractObject *kept = o.get(QStringLiteral("a"));
        o.put(QStringLiteral("a"), kept); // storing the same object again keeps it
        EXPECT_EQ(o.getString(QStringLiteral("a")), QStringLiteral("tracked"));
        EXPECT_THROW(o.put(QString(), new Tracked), NullPointerException); // a refused value is not leaked
        EXPECT_EQ(Tracked::alive, 1);
        o.put(QStringLiteral("t"), true);
        o.put(QStringLiteral("t"), new Tracked);
        o.put(QStringLiteral("n"), TJSONObject::nullValue());
        o.put(QStringLiteral("n"), nullptr);
    }
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_TRUE(TJSONObject(QStringLiteral("{\"x\":true}")).getBoolean(QStringLiteral("x")));
    EXPECT_EQ(Boolean::True()->toString(), QStringLiteral("true"));
    EXPECT_TRUE(TJSONObject(QStringLiteral("{\"x\":null}")).isNull(QStringLiteral("x")));
}

TEST(ObjectModifiers, RemoveHandsTheValueToTheCaller) {
    TJSONObject o;
    o.put(QStringLiteral("a"), new Tracked);
    OwnedValue removed = o.remove(QStringLiteral("A"));
    EXPECT_EQ(o.length(), 0);
    EXPECT_EQ(Tracked::alive, 1);
    removed.reset();
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_EQ(o.remove(QStringLiteral("a")), nullptr);
}

TEST(ObjectModifiers, AccumulateBuildsAnArray) {
    TJSONObject o;
    o.accumulate(QStringLiteral("k"), new Integer(1));
    EXPECT_EQ(o.toString(), QStringLiteral("{\"k\":1}"));
    o.accumulate(QStringLiteral("k"), new String(QStringLiteral("two")));
    o.accumulate(QStringLiteral("k"), Boolean::True());
    EXPECT_EQ(o.toString(), QStringLiteral("{\"k\":[1,\"two\",true]}"));
    // A Boolean made by Clone is still read as a Boolean.
    TJSONObject b;
    b.accumulate(QStringLiteral("k"), Boolean::True());
    b.accumulate(QStringLiteral("k"), Boolean::False());
    EXPECT_TRUE(b.getJSONArray(QStringLiteral("k"))->getBoolean(0));

    TJSONObject n(QStringLiteral("{\"k\":null}"));
    EXPECT_THROW(n.accumulate(QStringLiteral("k"), new Tracked), NotImplmentedFeature);
    EXPECT_EQ(n.toString(), QStringLiteral("{\"k\":null}"));
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(ObjectClone, IsATextRoundTrip) {
    TJSONObject o(QStringLiteral("{\"d\":0,\"k\":1,\"K\":2,\"o\":{\"a\":[1,null,true]},\"s\":\"é\"}"));
    o.put(QStringLiteral("d"), 1.5);
    const OwnedValue clone = o.Clone();
    const auto &c = dynamic_cast<const TJSONObject &>(*clone);
    EXPECT_EQ(c.get(QStringLiteral("d"))->className(), QStringLiteral("_String"));
    EXPECT_EQ(c.getString(QStringLiteral("d")), QStringLiteral("1.50"));
    EXPECT_EQ(
        c.toString(),
        QStringLiteral("{\"d\":\"1.50\",\"k\":1,\"K\":1,\"o\":{\"a\":[1,null,true]},\"s\":\"\\u00E9\"}"));
    EXPECT_EQ(c.getJSONObject(QStringLiteral("o"))->getJSONArray(QStringLiteral("a"))->opt(1),
              Null::instance());
}

TEST(ObjectCopies, AssignToAndSelectedNamesClone) {
    const TJSONObject source(QStringLiteral("{\"a\":1,\"b\":\"x\",\"c\":[1]}"));
    const TJSONObject selected(source, {QStringLiteral("b"), QStringLiteral("missing"), QStringLiteral("a")});
    EXPECT_EQ(selected.toString(), QStringLiteral("{\"b\":\"x\",\"a\":1}"));
    EXPECT_THROW(TJSONObject(source, {QStringLiteral("c")}), NotImplmentedFeature);

    TJSONObject target(QStringLiteral("{\"A\":0}"));
    EXPECT_THROW(source.assignTo(target), NotImplmentedFeature); // stops at the array
    EXPECT_EQ(target.toString(), QStringLiteral("{\"A\":1,\"b\":\"x\"}"));
}

TEST(ObjectCopies, ToJSONArrayCopiesTheValues) {
    auto o = std::make_unique<TJSONObject>(QStringLiteral("{\"a\":{\"x\":1},\"b\":2.5,\"c\":null}"));
    o->put(QStringLiteral("b"), 2.5);
    const TJSONArray names(QStringLiteral("[a,missing,b,c]"));
    const std::unique_ptr<TJSONArray> values = o->toJSONArray(&names);
    o.reset(); // the copies outlive their source
    EXPECT_EQ(values->toString(), QStringLiteral("[{\"x\":1},null,\"2.50\",null]"));
    EXPECT_EQ(values->get(2)->className(), QStringLiteral("_Double"));
    EXPECT_EQ(values->opt(1), nullptr);
    EXPECT_EQ(TJSONObject().toJSONArray(nullptr), nullptr);
}

TEST(ObjectConstruction, FromPairsKeepsDuplicatesAndOwnsTheValues) {
    {
        const TJSONObject o({{QStringLiteral("a"), new Tracked}, {QStringLiteral("A"), new Tracked}});
        EXPECT_EQ(o.length(), 2);
        EXPECT_EQ(Tracked::alive, 2);
        const std::unique_ptr<TJSONArray> names = o.names();
        EXPECT_EQ(names->toString(), QStringLiteral("[\"a\",\"A\"]"));
    }
    EXPECT_EQ(Tracked::alive, 0);
}

} // namespace
