#pragma once

// Scripts shared by the runner's command-line and window tests.
namespace SampleScripts {

// For a table T (A INTEGER): the failing statement begins on line 6 and the engine places its
// error on line 7, after a comment and a COMMIT that the preparation takes out.
inline constexpr char errorOnLine7[] = "-- clientes: ajuste de cadastro\n"
                                       "/* versão 2 */ insert into t (a) values (1);\n"
                                       "commit;\n"
                                       "\n"
                                       "insert into t (a) values (2); /* ok */\n"
                                       "insert into t (a)\n"
                                       "  valuez (3);\n"
                                       "insert into t (a) values (4);\n";
inline constexpr char errorOnLine7Report[] = "Linha 7: insert into t (a)";

} // namespace SampleScripts
