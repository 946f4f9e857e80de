#include "validation/ScriptPreparation.h"

#include <gtest/gtest.h>

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
        PreparationCase{"empty", QString(), QString(), false}));

TEST(ScriptPreparation, LoneSurrogateDoesNotStopTheRemoval) {
    const QString text = u"a "_qs + QChar(0xD800) + u" /* x */ b"_qs;
    EXPECT_EQ(ScriptPreparation::removeOneLineComments(text), u"a "_qs + QChar(0xD800) + u"  b"_qs);
}

} // namespace
