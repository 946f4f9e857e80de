#pragma once

#include <QPoint>

// Where the caption of a TBRImageButton stands relative to its picture.
enum TLayout { anTop, anBottom, anLeft, anRight };

// Top-left points of picture and caption in a button of w x h, for a picture of iw x ih and a
// caption of tw x th. Halvings truncate toward zero, so a caption wider than the button
// gets a negative x and stays centred.
struct ImageButtonLayout {
    QPoint imagem;
    QPoint texto;

    static ImageButtonLayout calcular(TLayout align, int w, int h, int iw, int ih, int tw, int th);
};
