#include "validation/ScriptPreparation.h"

#include "base/Exception.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <memory>

namespace {

// "." must match no line separator of any kind (CR, LF, VT, FF, NEL, LS, PS): newline
// convention ANY. Invalid UTF-16 (a lone surrogate) in the editor's text must not stop the run.
class OneLineCommentPattern {
public:
    OneLineCommentPattern() {
        std::unique_ptr<pcre2_compile_context, decltype(&pcre2_compile_context_free)> context(
            pcre2_compile_context_create(nullptr), &pcre2_compile_context_free);
        pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANY);
        int error = 0;
        PCRE2_SIZE offset = 0;
        m_code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(u"\\/\\*.*\\*\\/"), PCRE2_ZERO_TERMINATED,
                               PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &error, &offset, context.get());
        if (m_code)
            pcre2_jit_compile(m_code, PCRE2_JIT_COMPLETE); // without JIT it still works, only slower
    }
    ~OneLineCommentPattern() { pcre2_code_free(m_code); }
    OneLineCommentPattern(const OneLineCommentPattern &) = delete;
    OneLineCommentPattern &operator=(const OneLineCommentPattern &) = delete;

    const pcre2_code *code() const { return m_code; }

private:
    pcre2_code *m_code = nullptr;
};

QString pcreErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, std::size(buffer));
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer), length < 0 ? 0 : length);
}

} // namespace

namespace ScriptPreparation {

QString removeOneLineComments(const QString &text) {
    static const OneLineCommentPattern pattern;
    if (!pattern.code())
        throw Exception(QStringLiteral("The one-line comment pattern does not compile."));
    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> match(
        pcre2_match_data_create_from_pattern(pattern.code(), nullptr), &pcre2_match_data_free);
    // Removing only shortens the text, so the input's size is always enough.
    QString result(text.size() + 1, Qt::Uninitialized);
    PCRE2_SIZE resultLength = result.size();
    const int rc =
        pcre2_substitute(pattern.code(), reinterpret_cast<PCRE2_SPTR>(text.utf16()), text.size(), 0,
                         PCRE2_SUBSTITUTE_GLOBAL, match.get(), nullptr, reinterpret_cast<PCRE2_SPTR>(u""), 0,
                         reinterpret_cast<PCRE2_UCHAR *>(result.data()), &resultLength);
    if (rc < 0)
        throw Exception(QStringLiteral("One-line comment removal failed: %1").arg(pcreErrorText(rc)));
    result.truncate(qsizetype(resultLength));
    return result;
}

bool removeAll(QString &text, QLatin1StringView what) {
    bool found = false;
    while (text.contains(what, Qt::CaseInsensitive)) {
        found = true;
        text.remove(what, Qt::CaseInsensitive);
    }
    return found;
}

PreparedScript prepare(const QString &script) {
    PreparedScript prepared{removeOneLineComments(script)};
    removeAll(prepared.text, QLatin1StringView("COMMIT WORK;"));
    removeAll(prepared.text, QLatin1StringView("COMMIT;"));
    prepared.rollbackOnError = removeAll(prepared.text, QLatin1StringView("ROLLBACK ON ERROR;"));
    return prepared;
}

} // namespace ScriptPreparation
