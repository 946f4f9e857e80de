#include "Failure.h"
#include "Tracked.h"

#include "json/Boolean.h"
#include "json/Exceptions.h"
#include "json/Integer.h"
#include "json/Null.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <gtest/gtest.h>

#include <functional>

using namespace json;

namespace {

TEST(ArrayGetters, GetIntTruncatesText) {
    const TJSONArray a(QStringLiteral("[\"2.7\",\"-2.7\",2.7,\"2.5\",\"x\",null]"));
    EXPECT_EQ(a.getInt(0), 2);
    EXPECT_EQ(a.getInt(1), -2);
    EXPECT_EQ(a.getInt(2), 2);
    EXPECT_EQ(a.getInt(3), 2);
    EXPECT_THROW(a.getInt(4), ConvertError);
    EXPECT_EQ(a.optInt(4, 7), 7);
    EXPECT_EQ(a.optInt(5, 7), 7);
    EXPECT_EQ(a.optInt(99, 7), 7);
    EXPECT_EQ(a.optDouble(0), 2.7);
    EXPECT_EQ(a.optString(1), QStringLiteral("-2.7"));
    EXPECT_EQ(a.optString(6, QStringLiteral("d")), QStringLiteral("d"));
}

TEST(ArrayGetters, FailureMessages) {
    const TJSONArray a(QStringLiteral("[\"s\",[1],{\"a\":1},1]"));
    struct Case {
        std::function<void()> call;
        const char *expected;
    } cases[] = {
        {[&] { a.get(4); }, "NoSuchElementException: TJSONArray[4] not found."},
        {[&] { a.get(-1); }, "NoSuchElementException: TJSONArray[-1] not found."},
        {[&] { a.getJSONObject(0); },
         "NoSuchElementException: TJSONArray[0] is not a TJSONObject is _String"},
        {[&] { a.getJSONObject(1); },
         "NoSuchElementException: TJSONArray[1] is not a TJSONObject is TJSONArray"},
        {[&] { a.getJSONArray(2); }, "NoSuchElementException: TJSONArray[2] is not a TJSONArray."},
        {[&] { a.getBoolean(3); }, "ClassCastException: TJSONArray[3] not a Boolean."},
        {[&] { a.getDouble(1); }, "NumberFormatException: TJSONArray[1] is not a number."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(failure(c.call), QString::fromUtf8(c.expected));
    EXPECT_EQ(a.getJSONObject(2)->getInt(QStringLiteral("a")), 1);
    EXPECT_EQ(a.getJSONArray(1)->length(), 1);
    EXPECT_EQ(a.optJSONObject(0), nullptr);
    EXPECT_NE(a.optJSONArray(1), nullptr);
}

TEST(ArrayPut, PadsWithEmptyElementsThatReadAsMissing) {
    TJSONArray a;
    a.put(5, QStringLiteral("x"));
    EXPECT_EQ(a.length(), 6);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(a.opt(i), nullptr);
        EXPECT_TRUE(a.isNull(i));
        EXPECT_EQ(failure([&] { a.get(i); }),
                  QStringLiteral("NoSuchElementException: TJSONArray[%1] not found.").arg(i));
    }
    EXPECT_EQ(a.toString(), QStringLiteral("[null,null,null,null,null,\"x\"]"));
    a.put(0, 1).put(true).put(2.5).put(nullptr);
    EXPECT_EQ(a.toString(), QStringLiteral("[1,null,null,null,null,\"x\",true,\"2.50\",null]"));
}

TEST(ArrayPut, RefusedValuesAndReplacedValuesAreDestroyed) {
    {
        TJSONArray a;
        EXPECT_EQ(failure([&] { a.put(0, nullptr); }), QStringLiteral("NullPointerException: "));
        EXPECT_EQ(failure([&] { a.put(-1, new Tracked); }),
                  QStringLiteral("NoSuchElementException: TJSONArray[-1] not found."));
        EXPECT_EQ(Tracked::alive, 0);
        a.put(new Tracked).put(0, new Tracked);
        EXPECT_EQ(Tracked::alive, 1);
        a.put(0, a.get(0)); // the same object again
        EXPECT_EQ(a.getString(0), QStringLiteral("tracked"));
        a.put(Boolean::False()).put(1, new Tracked);
        a.put(TJSONObject::nullValue());
        EXPECT_EQ(Tracked::alive, 2);
    }
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_EQ(Boolean::False()->toString(), QStringLiteral("false"));
}

TEST(ArrayConversions, ToJSONObjectAndToList) {
    const TJSONArray names(QStringLiteral("[a,b,c]"));
    auto values = std::make_unique<TJSONArray>(QStringLiteral("[1,,{\"x\":true}]"));
    const QList<TZAbstractObject *> list = values->toList();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[1], nullptr);
    EXPECT_EQ(list[0], values->get(0));
    const std::unique_ptr<TJSONObject> o = values->toJSONObject(&names);
    values.reset(); // the object holds copies
    EXPECT_EQ(o->toString(), QStringLiteral("{\"a\":1,\"c\":{\"x\":true}}"));
    EXPECT_EQ(TJSONArray().toJSONObject(&names), nullptr);
    EXPECT_EQ(names.toJSONObject(nullptr), nullptr);
}

TEST(ArrayConstruction, FromCollectionOwnsTheValues) {
    {
        const TJSONArray a(QList<TZAbstractObject *>{new Tracked, nullptr, Boolean::True(), new Integer(3)});
        EXPECT_EQ(a.toString(), QStringLiteral("[\"tracked\",null,true,3]"));
    }
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_THROW(TJSONArray().Clone(), NotImplmentedFeature);
}

} // namespace
