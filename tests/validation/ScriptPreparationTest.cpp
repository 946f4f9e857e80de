#include "validation/ScriptPreparation.h"
#include "tests/validation/PreparationByTheRules.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringList>

namespace {

struct PreparationCase {
    const char *name;
    QString script;
    QString expected;
    bool rollbackOnError;
};

void PrintTo(const PreparationCase &c, std::ostream *os) {
    *os << c.name;
}

class ScriptPreparationTest : public testing::TestWithParam<PreparationCase> {};

TEST_P(ScriptPreparationTest, PreparesText) {
    const PreparedScript prepared = ScriptPreparation::prepare(GetParam().script);
    EXPECT_EQ(prepared.text.toStdString(), GetParam().expected.toStdString());
    EXPECT_EQ(prepared.rollbackOnError, GetParam().rollbackOnError);
}

const QString LS = QString(QChar(0x2028));
const QString NEL = QString(QChar(0x85));

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptPreparationTest,
    testing::Values(
        PreparationCase{"one_line_comment", u"a /* x */ b"_qs, u"a  b"_qs, false},
        PreparationCase{"two_comments_take_the_text_between",
                        u"insert into t values (1); /* c1 */ insert into t values (2); /* c2 */\r\nx;"_qs,
                        u"insert into t values (1); \r\nx;"_qs, false},
        PreparationCase{"comment_across_lines_is_kept", u"a /* x\r\n y */ b"_qs, u"a /* x\r\n y */ b"_qs,
                        false},
        PreparationCase{"each_line_on_its_own", u"/* a */ x\n/* b */ y"_qs, u" x\n y"_qs, false},
        PreparationCase{"unicode_line_separator", u"/* a "_qs + LS + u" b */ c"_qs,
                        u"/* a "_qs + LS + u" b */ c"_qs, false},
        PreparationCase{"next_line", u"/* a "_qs + NEL + u" b */"_qs, u"/* a "_qs + NEL + u" b */"_qs, false},
        PreparationCase{"vertical_tab_and_form_feed", u"/* a \v b */ /* c \f d */"_qs,
                        u"/* a \v b */ /* c \f d */"_qs, false},
        PreparationCase{"quotes_not_respected", u"select '/* x */' from t;"_qs, u"select '' from t;"_qs,
                        false},
        PreparationCase{"non_latin_text_kept", u"select 'ação' /* é */ from t;"_qs,
                        u"select 'ação'  from t;"_qs, false},
        PreparationCase{"commit_work_any_case", u"a;\ncommit work;\nb;\nCoMmIt WoRk;"_qs, u"a;\n\nb;\n"_qs,
                        false},
        PreparationCase{"commit_any_case", u"a;\ncommit;\nCommit;"_qs, u"a;\n\n"_qs, false},
        PreparationCase{"commit_work_with_blank_kept", u"COMMIT WORK ;"_qs, u"COMMIT WORK ;"_qs, false},
        PreparationCase{"removal_joins_a_new_occurrence", u"COMMCOMMIT;IT;x"_qs, u"x"_qs, false},
        PreparationCase{"inside_a_string_too", u"select 'commit;' from t;"_qs, u"select '' from t;"_qs,
                        false},
        PreparationCase{"rollback_marker", u"rollback on error;\na;"_qs, u"\na;"_qs, true},
        PreparationCase{"marker_inside_comment_counts", u"-- Rollback On Error;\na;"_qs, u"-- \na;"_qs, true},
        PreparationCase{"marker_with_blank_is_not_marker", u"ROLLBACK ON ERROR ;"_qs,
                        u"ROLLBACK ON ERROR ;"_qs, false},
        PreparationCase{"deeply_nested_removals",
                        u"COM"_qs.repeated(500) + u"COMMIT;"_qs + u"MIT;"_qs.repeated(500) + u"x"_qs, u"x"_qs,
                        false},
        PreparationCase{"commit_joined_into_commit_work_is_kept", u"COMMIT WCOMMIT;ORK;"_qs,
                        u"COMMIT WORK;"_qs, false},
        PreparationCase{"empty", QString(), QString(), false}));

TEST(ScriptPreparation, LoneSurrogateDoesNotStopTheRemoval) {
    const QString text = u"a "_qs + QChar(0xD800) + u" /* x */ b"_qs;
    EXPECT_EQ(ScriptPreparation::removeOneLineComments(text), u"a "_qs + QChar(0xD800) + u"  b"_qs);
}

// Random texts made of the pieces that matter: comment marks, whole and broken-up transaction
// statements, every kind of line break, and letters that fold to those of the statements
// (the Kelvin sign to "k", the long s). Each prepared character is traced back to itself.
TEST(ScriptPreparation, OnePassGivesWhatTheRulesGive) {
    const QStringList pieces = {u"/"_qs,
                                u"*"_qs,
                                u"*/"_qs,
                                u"/*"_qs,
                                u"COMMIT;"_qs,
                                u"commit work;"_qs,
                                u"COMM"_qs,
                                u"IT;"_qs,
                                u"COMMIT W"_qs,
                                u"ORK;"_qs,
                                u"ROLLBACK ON ERROR;"_qs,
                                u"roll"_qs,
                                u"back on error;"_qs,
                                u"ROLLBAC"_qs,
                                QString(QChar(0x212A)) + u";"_qs,
                                u";"_qs,
                                u" "_qs,
                                u"\n"_qs,
                                u"\r\n"_qs,
                                u"\r"_qs,
                                u"\v"_qs,
                                QString(QChar(0x2028)),
                                QString(QChar(0x85)),
                                u"ſ"_qs,
                                u"ı"_qs,
                                u"a"_qs,
                                u"'"_qs,
                                u"ç"_qs};
    QRandomGenerator random(12);
    for (int round = 0; round < 20000; ++round) {
        QString script;
        for (int i = random.bounded(60); i > 0; --i)
            script += pieces.at(random.bounded(int(pieces.size())));
        const PreparedScript expected = preparationByTheRules(script);
        const PreparedScript prepared = ScriptPreparation::prepare(script);
        ASSERT_EQ(prepared.text, expected.text) << script.toStdString();
        ASSERT_EQ(prepared.rollbackOnError, expected.rollbackOnError) << script.toStdString();
        qsizetype previous = -1;
        for (qsizetype p = 0; p < prepared.text.size(); ++p) {
            const qsizetype original = prepared.source.originalPosition(p);
            ASSERT_GT(original, previous) << script.toStdString();
            ASSERT_EQ(script.at(original), prepared.text.at(p)) << script.toStdString() << " at " << p;
            previous = original;
        }
    }
}

TEST(ScriptPreparation, PositionsAndLinesTracedBackToTheScript) {
    // Line 1 loses its comment and "COMMIT;", line 2 two nested "COMMIT;"; lines end in CR LF, LF, CR.
    const QString script = u"/* c */ select 1; COMMIT;\r\nCOMCOMMIT;MIT;bad x\nc\rd"_qs;
    const PreparedScript prepared = ScriptPreparation::prepare(script);
    ASSERT_EQ(prepared.text, u" select 1; \r\nbad x\nc\rd"_qs);
    struct Place {
        QString text;
        qsizetype original;
        int line;
    };
    for (const Place &place : {Place{u"select"_qs, 8, 1}, Place{u"bad"_qs, 41, 2}, Place{u"x"_qs, 45, 2},
                               Place{u"c"_qs, 47, 3}, Place{u"d"_qs, 49, 4}}) {
        const qsizetype at = prepared.text.lastIndexOf(place.text);
        EXPECT_EQ(prepared.source.originalPosition(at), place.original) << place.text.toStdString();
        EXPECT_EQ(prepared.source.lineOf(at), place.line) << place.text.toStdString();
    }
    // The end of the prepared text is the end of the script.
    EXPECT_EQ(prepared.source.originalPosition(prepared.text.size()), script.size());
}

} // namespace
