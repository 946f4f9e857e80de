#include "widgets/BRGraphics.h"

#include <cstdlib>

namespace {

// Offsets within a pixel of Format_BGR888.
constexpr int azul = 0;
constexpr int verde = 1;
constexpr int vermelho = 2;

template <typename Channel> void percorrer(QImage &bitmap, Channel ajustar) {
    if (bitmap.format() != QImage::Format_BGR888)
        bitmap = bitmap.convertToFormat(QImage::Format_BGR888);
    if (bitmap.isNull())
        return;
    uchar *row = bitmap.scanLine(0);
    const qsizetype step = bitmap.height() > 1 ? bitmap.scanLine(1) - row : 0;
    const int width = bitmap.width();
    for (int y = 0; y < bitmap.height(); ++y, row += step) {
        uchar *pixel = row;
        for (int x = 0; x < width; ++x, pixel += 3)
            ajustar(pixel);
    }
}

} // namespace

uchar LimitarCanal(qint64 x) {
    if (x > 255)
        return 255;
    if (x < 0)
        return 0;
    return static_cast<uchar>(x);
}

qint64 PercentualArredondado(qint64 a, qint64 b) {
    const qint64 product = a * b;
    qint64 q = product / 100;
    const qint64 r = product % 100;
    if (std::llabs(r) * 2 >= 100)
        q += product < 0 ? -1 : 1;
    return q;
}

void AplicarBrilho(QImage &bitmap, int valor) {
    percorrer(bitmap, [valor](uchar *p) {
        for (int offset : {vermelho, verde, azul})
            p[offset] = LimitarCanal(p[offset] + PercentualArredondado(p[offset], valor));
    });
}

void AplicarContraste(QImage &bitmap, int valor) {
    percorrer(bitmap, [valor](uchar *p) {
        for (int offset : {vermelho, verde, azul}) {
            const int c = p[offset];
            const qint64 d = PercentualArredondado(std::abs(127 - c), valor);
            p[offset] = LimitarCanal(c > 127 ? c + d : c - d);
        }
    });
}
