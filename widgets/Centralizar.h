#pragma once

#include <QPoint>
#include <QSize>

// Top-left point that centres a child of outer size `filho` on a parent of size `pai`
// (integer halving toward zero: a difference of -5 gives -2).
inline QPoint Centralizar(const QSize &pai, const QSize &filho) {
    return {(pai.width() - filho.width()) / 2, (pai.height() - filho.height()) / 2};
}
