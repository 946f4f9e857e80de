// The JSON reader on any text: reading either fails with one of the library's errors or gives a
// value whose written form (compact and indented) reads back to the same value.
#include "base/Exception.h"
#include "json/TJSONArray.h"
#include "json/TJSONObject.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

[[noreturn]] void falha(const char *o_que, const QString &texto) {
    std::fprintf(stderr, "%s\n%s\n", o_que, texto.toUtf8().constData());
    std::abort();
}

template <class Valor> void lerEReler(const QString &texto) {
    std::optional<Valor> valor;
    try {
        valor.emplace(texto);
    } catch (const Exception &) {
        return; // refused input is fine; a crash, hang or leak is not
    }
    const QString escrito = valor->toString();
    try {
        if (Valor(escrito).toString() != escrito)
            falha("the written form reads back to another value", escrito);
        if (Valor(valor->toString(2)).toString() != escrito)
            falha("the indented form reads back to another value", escrito);
    } catch (const Exception &e) {
        falha(e.what(), escrito);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString texto = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    lerEReler<json::TJSONObject>(texto);
    lerEReler<json::TJSONArray>(texto);
    return 0;
}
