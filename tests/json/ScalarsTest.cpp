#include "json/Boolean.h"
#include "json/Double.h"
#include "json/Exceptions.h"
#include "json/Integer.h"
#include "json/JSONTokener.h"
#include "json/Null.h"
#include "json/String.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace json;

namespace {

TEST(Root, EqualsIsIdentityAndCloneIsNotImplemented) {
    const TZAbstractObject a;
    const TZAbstractObject b;
    EXPECT_TRUE(a.equals(&a));
    EXPECT_FALSE(a.equals(&b));
    EXPECT_FALSE(a.equals(nullptr));
    EXPECT_TRUE(a.instanceOf(&b));
    EXPECT_FALSE(a.instanceOf(nullptr));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^TZAbstractObject <0x[0-9a-f]+>$")).match(a.toString()).hasMatch())
        << a.toString().toStdString();
    try {
        a.Clone();
        FAIL() << "root Clone succeeded";
    } catch (const NotImplmentedFeature &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Rotina Não Implementada"));
        EXPECT_EQ(e.className(), QStringLiteral("NotImplmentedFeature"));
    }
}

TEST(Scalars, ClassNamesAsMessagesPrintThem) {
    const std::unique_ptr<TZAbstractObject> values[] = {std::make_unique<Integer>(1),
                                                        std::make_unique<Double>(1.0),
                                                        std::make_unique<String>(QString()),
                                                        std::make_unique<Boolean>(true),
                                                        std::make_unique<TJSONObject>(),
                                                        std::make_unique<TJSONArray>(),
                                                        std::make_unique<JSONTokener>(QString())};
    const char *names[] = {"_Integer",    "_Double",    "_String",    "_Boolean",
                           "TJSONObject", "TJSONArray", "JSONTokener"};
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(values[i]->className(), QLatin1String(names[i]));
    EXPECT_EQ(Null::instance()->className(), QStringLiteral("NULL"));
}

TEST(Scalars, DoubleTruncatesTowardZeroAndKeepsTheLow32Bits) {
    EXPECT_EQ(Double(2.7).intValue(), 2);
    EXPECT_EQ(Double(-2.7).intValue(), -2);
    EXPECT_EQ(Double(4294967297.0).intValue(), 1);
    EXPECT_EQ(Double(2147483648.0).intValue(), INT32_MIN);
    EXPECT_EQ(Double(std::nan("")).intValue(), 0);
    EXPECT_EQ(Double::NaN(), 0.0);
    EXPECT_FALSE(std::signbit(Double::NaN()));
    EXPECT_EQ(Double(String(QStringLiteral("2.5"))).doubleValue(), 2.5);
    EXPECT_THROW(Double(QStringLiteral("2,5")), ConvertError);
}

TEST(Scalars, StringComparisons) {
    const String s(QStringLiteral("Ação"));
    const String same(QStringLiteral("Ação"));
    const String upper(QStringLiteral("AÇÃO"));
    EXPECT_TRUE(s.equals(&same));
    EXPECT_FALSE(s.equals(&upper));
    EXPECT_FALSE(s.equals(nullptr));
    EXPECT_TRUE(s.equalsIgnoreCase(QStringLiteral("aÇÃo")));
    EXPECT_FALSE(s.equalsIgnoreCase(QStringLiteral("Acao")));
}

TEST(Scalars, SharedValuesAndClones) {
    EXPECT_EQ(Boolean::valueOf(true), Boolean::True());
    EXPECT_EQ(Boolean::valueOf(false), Boolean::False());
    EXPECT_TRUE(Boolean::True()->isShared());
    EXPECT_TRUE(Null::instance()->isShared());
    EXPECT_EQ(Boolean::True()->toString(), QStringLiteral("true"));
    EXPECT_EQ(Null::instance()->toString(), QStringLiteral("null"));
    EXPECT_TRUE(Null::instance()->equals(nullptr));
    EXPECT_FALSE(Null::instance()->equals(Boolean::False()));

    const OwnedValue clone = Boolean::True()->Clone();
    EXPECT_NE(clone.get(), Boolean::True());
    EXPECT_FALSE(clone->isShared());
    EXPECT_EQ(clone->toString(), QStringLiteral("true"));
    EXPECT_THROW(Null::instance()->Clone(), NotImplmentedFeature);

    const OwnedValue d = Double(1.5).Clone();
    EXPECT_EQ(dynamic_cast<Double &>(*d).doubleValue(), 1.5);
    EXPECT_EQ(String(QStringLiteral("x")).Clone()->toString(), QStringLiteral("x"));
    EXPECT_EQ(Integer(-3).Clone()->toString(), QStringLiteral("-3"));
}

} // namespace
