#include "base/Exception.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

using namespace json;

namespace {

// Files are UTF-8 bytes, decoded as brisel-json decodes its input (invalid sequences become U+FFFD).
QString readText(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

bool startsWithContainer(const QString &text) {
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(u'[') || trimmed.startsWith(u'{');
}

// Reads the text with the constructor its first character asks for; returns the compact form.
QString readCompact(const QString &text) {
    if (text.trimmed().startsWith(u'{'))
        return TJSONObject(text).toString();
    return TJSONArray(text).toString();
}

// Every file gives a value or one of the library's exceptions; each y_ file with an object or
// array at the top reads, and its compact form reads back to itself.
TEST(JsonTestSuite, EveryFileReadsOrFailsCleanly) {
    const QDir dir(QStringLiteral(BRISEL_JSON_TEST_SUITE_DIR));
    const QStringList files = dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        GTEST_SKIP() << "no test files in " << BRISEL_JSON_TEST_SUITE_DIR;
    int mustRead = 0;
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString text = readText(dir.filePath(name));
        const bool expectValue = name.startsWith(QLatin1String("y_")) && startsWithContainer(text);
        mustRead += expectValue;
        try {
            const QString compact = readCompact(text);
            EXPECT_EQ(readCompact(compact), compact);
        } catch (const ::Exception &e) {
            EXPECT_FALSE(expectValue)
                << e.className().toStdString() << ": " << e.message().left(200).toStdString();
        }
    }
    EXPECT_GT(mustRead, 0);
}

} // namespace
