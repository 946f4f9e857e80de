#include "validation/ScriptSplitter.h"
#include "tests/validation/PrintQString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
    const char *name;
    QString text;
    std::vector<std::string> statements;
};

void PrintTo(const SplitCase &c, std::ostream *os) {
    *os << c.name;
}

class ScriptSplitterTest : public testing::TestWithParam<SplitCase> {};

TEST_P(ScriptSplitterTest, Splits) {
    std::vector<std::string> statements;
    for (const QString &s : ScriptSplitter::split(GetParam().text))
        statements.push_back(s.toStdString());
    EXPECT_EQ(statements, GetParam().statements);
}

const QString procedureBody = u"\n  PROCEDURE p AS\nBEGIN\n  x = 1;\n  y = 2;\nEND\n"_qs;

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptSplitterTest,
    testing::Values(
        SplitCase{"plain", u"a;b;c;"_qs, {"a", "b", "c"}},
        SplitCase{"text_kept_unchanged",
                  u"insert into t values (1);\r\n  select 2 from t ;\r\n"_qs,
                  {"insert into t values (1)", "\r\n  select 2 from t "}},
        SplitCase{"last_without_terminator", u"a;\nb"_qs, {"a", "\nb"}},
        SplitCase{"blank_commands_skipped", u";; \r\n\t;a;\n"_qs, {"a"}},
        SplitCase{"comment_only_command_skipped", u"a;\n-- done\n/* end */\n"_qs, {"a"}},
        SplitCase{"semicolon_in_string", u"select 'a;''b;' from t;x"_qs, {"select 'a;''b;' from t", "x"}},
        SplitCase{"semicolon_in_quoted_name", u"select \"a;b\" from t;x"_qs, {"select \"a;b\" from t", "x"}},
        SplitCase{"semicolon_in_line_comment", u"a -- b;\nc;d"_qs, {"a -- b;\nc", "d"}},
        SplitCase{"semicolon_in_block_comment", u"a /* b;\n; */ c;d"_qs, {"a /* b;\n; */ c", "d"}},
        SplitCase{"block_comments_do_not_nest", u"a /* /* */ ; b"_qs, {"a /* /* */ ", " b"}},
        SplitCase{"semicolon_in_parentheses", u"a (b; (c;) d);e"_qs, {"a (b; (c;) d)", "e"}},
        SplitCase{"unmatched_close_parenthesis", u"a ) b; c;\nd"_qs, {"a ) b; c;\nd"}},
        SplitCase{"slash_at_line_start_ends", u"a\n/\nb\n/"_qs, {"a\n", "\nb\n"}},
        SplitCase{"slash_not_at_line_start", u"select 4 / 2 from t;"_qs, {"select 4 / 2 from t"}},
        SplitCase{"slash_star_at_line_start_is_comment", u"a\n/* c */;b"_qs, {"a\n/* c */", "b"}},
        SplitCase{"procedure_ended_by_slash",
                  u"CREATE"_qs + procedureBody + u"/\nselect 1 from t;"_qs,
                  {("CREATE" + procedureBody).toStdString(), "\nselect 1 from t"}},
        SplitCase{"procedure_to_end_of_text",
                  u"create or alter"_qs + procedureBody,
                  {("create or alter" + procedureBody).toStdString()}},
        SplitCase{"altered_procedure_split_at_first_semicolon",
                  u"ALTER"_qs + procedureBody + u"/\n"_qs,
                  {"ALTER\n  PROCEDURE p AS\nBEGIN\n  x = 1", "\n  y = 2", "\nEND\n"}},
        SplitCase{"program_unit_kinds",
                  u"recreate trigger t; a;\n/\nexecute block as begin x; end\n/\n"
                  "create or replace function f; b;\n/\ncreate table t (a int); c;"_qs,
                  {"recreate trigger t; a;\n", "\nexecute block as begin x; end\n",
                   "\ncreate or replace function f; b;\n", "\ncreate table t (a int)", " c"}},
        SplitCase{"program_unit_after_leading_comment",
                  u"/* x */ -- y\n create package p; a;\n/"_qs,
                  {"/* x */ -- y\n create package p; a;\n"}},
        SplitCase{"set_term_and_back",
                  u"SET TERM ^ ;\nCREATE PROCEDURE p AS BEGIN x; END^\nSET TERM ; ^\nselect 1 from t;"_qs,
                  {"\nCREATE PROCEDURE p AS BEGIN x; END", "\nselect 1 from t"}},
        SplitCase{"set_term_abbreviations", u"set termin !! ;a;b!!set terminator ;!!c;"_qs, {"a;b", "c"}},
        SplitCase{"set_with_short_word_is_a_statement", u"SET TER ^;a"_qs, {"SET TER ^", "a"}},
        SplitCase{"set_autoddl_is_a_statement", u"SET AUTODDL OFF;a"_qs, {"SET AUTODDL OFF", "a"}},
        SplitCase{"non_slash_terminator_ends_program_unit",
                  u"set term # ;\ncreate procedure p as begin x; end#"_qs,
                  {"\ncreate procedure p as begin x; end"}},
        SplitCase{"slash_ignored_under_other_terminator", u"set term # ;\na\n/\nb#"_qs, {"\na\n/\nb"}},
        SplitCase{"word_terminator_only_at_line_start",
                  u"set term go;\nselect ago, go1 from t go\ngo\nselect 2 from t\nGO"_qs,
                  {"\nselect ago, go1 from t go\n", "\nselect 2 from t\n"}},
        SplitCase{"terminator_any_case", u"set term !x;\na!Xb!x"_qs, {"\na", "b"}},
        SplitCase{"unterminated_string", u"a;select 'x;"_qs, {"a", "select 'x;"}},
        SplitCase{"empty", QString(), {}}));

TEST(ScriptSplitter, TerminatorAfterSetTermIsUpperCased) {
    ScriptSplitter splitter(u"set term xy ;\na"_qs);
    QStringView statement;
    ASSERT_TRUE(splitter.next(statement));
    EXPECT_EQ(splitter.terminator(), u"XY"_qs);
}

} // namespace
