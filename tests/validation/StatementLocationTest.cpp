#include "validation/StatementLocation.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

namespace {

struct MessageCase {
    const char *name;
    QString message;
    int line;
    int column;
};

void PrintTo(const MessageCase &c, std::ostream *os) {
    *os << c.name;
}

class EnginePositionTest : public testing::TestWithParam<MessageCase> {};

TEST_P(EnginePositionTest, ReadsThePlaceInTheStatement) {
    const StatementLocation::EnginePosition position = StatementLocation::enginePosition(GetParam().message);
    EXPECT_EQ(position.line, GetParam().line);
    EXPECT_EQ(position.column, GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnginePositionTest,
    testing::Values(
        MessageCase{"token_unknown",
                    u"Dynamic SQL Error\nSQL error code = -104\nToken unknown - line 2, column 1\n("_qs, 2,
                    1},
        MessageCase{"object_unknown",
                    u"Dynamic SQL Error\nSQL error code = -204\nTable unknown\nX\nAt line 4, column 7"_qs, 4,
                    7},
        MessageCase{"execute_block", u"arithmetic exception\nAt block line: 5, col: 3"_qs, 5, 3},
        MessageCase{"stored_procedure_has_its_own_lines",
                    u"arithmetic exception\nAt procedure 'P2' line: 5, col: 3"_qs, 0, 0},
        MessageCase{"trigger_has_its_own_lines", u"exception 1\nAt trigger 'T_BI' line: 3, col: 9"_qs, 0, 0},
        MessageCase{"no_place", u"violation of PRIMARY or UNIQUE KEY constraint \"PK\" on table \"T\""_qs, 0,
                    0}));

TEST(StatementLocation, OffsetCountsLinesAsTheEngineDoes) {
    // CR LF, CR and LF end lines in code and comments; only LF inside quotes.
    const QString statement = u"\r\nselect 'a\rb\nc', \"d\re\" -- f\rfrom /* g\r\nh */ t\n\rwhere x"_qs;
    struct Case {
        int line;
        int column;
        qsizetype offset;
    };
    for (const Case &c :
         {Case{1, 1, 0}, Case{2, 3, 4}, Case{3, 1, 14}, Case{4, 1, 29}, Case{5, 1, 40}, Case{6, 1, 47},
          Case{7, 1, 48}, Case{7, 99, statement.size()}, Case{8, 1, -1}, Case{0, 1, -1}}) {
        EXPECT_EQ(StatementLocation::offsetIn(statement, {c.line, c.column}), c.offset)
            << "line " << c.line << " column " << c.column;
    }
}

TEST(StatementLocation, ReportLineShowsTheFirstLineCutTo80Characters) {
    EXPECT_EQ(StatementLocation::reportLine(7, u"insert into t\r\nvalues (1)"), u"Linha 7: insert into t"_qs);
    EXPECT_EQ(StatementLocation::reportLine(12, QString(90, u'x')), u"Linha 12: "_qs + QString(80, u'x'));
}

} // namespace
