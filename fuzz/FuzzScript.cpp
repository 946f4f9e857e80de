// Script preparation and the statement splitter on any text: the marker is gone after
// preparation, and each statement is a non-blank piece of the prepared text, found in it after
// the previous one, so the splitter always makes progress and ends.
#include "validation/ScriptPreparation.h"
#include "validation/ScriptSplitter.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void falha(const char *o_que, QStringView trecho) {
    std::fprintf(stderr, "%s\n%s\n", o_que, trecho.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString texto = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const PreparedScript preparado = ScriptPreparation::prepare(texto);
    if (preparado.text.contains(QLatin1String("ROLLBACK ON ERROR;"), Qt::CaseInsensitive))
        falha("the marker is left after preparation", preparado.text);

    ScriptSplitter splitter(preparado.text);
    QStringView comando;
    qsizetype depois = 0; // where the previous statement ended in the prepared text
    qsizetype comandos = 0;
    while (splitter.next(comando)) {
        if (++comandos > preparado.text.size())
            falha("more statements than characters: no progress", preparado.text);
        if (comando.trimmed().isEmpty())
            falha("a blank statement", comando);
        const qsizetype onde = preparado.text.indexOf(comando, depois);
        if (onde < 0)
            falha("a statement that is not the next piece of the text", comando);
        depois = onde + comando.size();
    }
    if (ScriptSplitter::split(preparado.text).size() != comandos)
        falha("split() and next() disagree", preparado.text);
    return 0;
}
