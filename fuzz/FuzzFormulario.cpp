// The reference service's form reader and field checks on any request body: every field either
// is refused with ErroEntrada or comes out in the form its check promises.
#include "server/ErroEntrada.h"
#include "server/Formulario.h"
#include "server/LeitorCampos.h"

#include <QByteArray>
#include <QStringList>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

[[noreturn]] void falha(const char *o_que, const QString &campo) {
    std::fprintf(stderr, "%s: %s\n", o_que, campo.toUtf8().constData());
    std::abort();
}

void conferir(const std::function<void()> &leitura) {
    try {
        leitura();
    } catch (const ErroEntrada &) {
    }
}

bool soHexMaiusculo(const QString &s) {
    for (const QChar c : s) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const Formulario formulario =
        Formulario::ler(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    const LeitorCampos campos(formulario);
    static const QStringList nomes{"chave",  "codigo", "data", "script",  "sistema", "lidos",
                                   "contar", "inicio", "fim",  "arquivo", "usuario", "maximo"};
    for (const QString &nome : nomes) {
        conferir([&] {
            if (campos.texto(nome).isEmpty())
                falha("texto() gave an empty required field", nome);
        });
        conferir([&] {
            if (campos.inteiro(nome) < 0)
                falha("inteiro() gave a negative number", nome);
        });
        conferir([&] {
            const int n = campos.quantidade(nome);
            if (n < 0 || n > INT_MAX)
                falha("quantidade() out of range", nome);
        });
        conferir([&] {
            if (!campos.dataHora(nome).isValid())
                falha("dataHora() gave an invalid time-stamp", nome);
        });
        conferir([&] {
            const QDate d = campos.data(nome);
            if (!d.isNull() && !d.isValid())
                falha("data() gave an invalid date", nome);
        });
        conferir([&] {
            if (!soHexMaiusculo(campos.scriptHex(nome)))
                falha("scriptHex() gave more than upper-case hexadecimal digits", nome);
        });
        conferir([&] {
            const QString s = campos.sistema(nome);
            if (!s.isEmpty() && s != u"KOR" && s != u"KOR_LIVROS" && s != u"TALAO")
                falha("sistema() gave an unknown system", nome);
        });
    }
    conferir([&] { campos.filtro(true); });
    conferir([&] { campos.filtro(false); });
    return 0;
}
