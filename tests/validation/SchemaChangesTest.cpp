#include "validation/SchemaChanges.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

namespace {

QString unknown(const char *what, const QString &name) {
    return u"Dynamic SQL Error\nSQL error code = -204\n%1\n%2\nAt line 1, column 13"_qs.arg(
        QLatin1StringView(what), name);
}

struct ExplainCase {
    const char *name;
    QStringList earlier; // statements that succeeded before
    QString message;
    QString starts; // the start of the explanation; empty for none
};

TEST(SchemaChanges, ExplainsOnlyWhatAnEarlierStatementDefines) {
    const ExplainCase cases[] = {
        {"created_table",
         {u"create table nova (id integer)"_qs},
         unknown("Table unknown", u"NOVA"_qs),
         u"A tabela NOVA é criada ou alterada"_qs},
        {"recreated_view",
         {u"/* v */ RECREATE VIEW V AS SELECT 1 X FROM RDB$DATABASE"_qs},
         unknown("Table unknown", u"V"_qs),
         u"A tabela V"_qs},
        {"quoted_name_keeps_its_case",
         {u"CREATE TABLE \"Nova\" (ID INTEGER)"_qs},
         unknown("Table unknown", u"Nova"_qs),
         u"A tabela Nova"_qs},
        {"added_column",
         {u"ALTER TABLE T ADD OBS VARCHAR(10)"_qs},
         unknown("Column unknown", u"T.OBS"_qs),
         u"A coluna T.OBS"_qs},
        {"a_table_nobody_created",
         {u"create table nova (id integer)"_qs},
         unknown("Table unknown", u"OUTRA"_qs),
         QString()},
        {"insert_is_not_a_definition",
         {u"insert into nova values (1)"_qs},
         unknown("Table unknown", u"NOVA"_qs),
         QString()},
        {"name_only_in_a_comment",
         {u"create table a (id integer) -- nova\n"_qs},
         unknown("Table unknown", u"NOVA"_qs),
         QString()},
        {"another_error",
         {u"create table nova (id integer)"_qs},
         u"violation of PRIMARY or UNIQUE KEY"_qs,
         QString()},
    };
    for (const ExplainCase &c : cases) {
        SchemaChanges changes;
        for (const QString &statement : c.earlier)
            changes.note(statement);
        const QString explanation = changes.explain(c.message);
        if (c.starts.isEmpty())
            EXPECT_TRUE(explanation.isEmpty()) << c.name << ": " << explanation.toStdString();
        else
            EXPECT_TRUE(explanation.startsWith(c.starts)) << c.name << ": " << explanation.toStdString();
    }
}

} // namespace
