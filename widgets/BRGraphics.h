#pragma once

#include <QImage>
#include <QtGlobal>

// Pixel routines of the busy overlay. Both convert the picture to 24 bits per pixel (bytes blue,
// green, red) and change it in place, walking the rows through their addresses: one pass, no
// per-pixel call into the drawing interface.

// Each channel c becomes LimitarCanal(c + c * valor / 100), the quotient rounded half away from
// zero: -50 halves the brightness, +50 raises it by half.
void AplicarBrilho(QImage &bitmap, int valor);
// Each channel moves away from 127 (valor > 0) or toward it (valor < 0) by |127 - c| * valor / 100.
void AplicarContraste(QImage &bitmap, int valor);
uchar LimitarCanal(qint64 x);
// a * b / 100 with a 64-bit product, rounded to the nearest integer, halves away from zero.
qint64 PercentualArredondado(qint64 a, qint64 b);
