#include "widgets/ImageButtonLayout.h"
#include "widgets/Centralizar.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageButtonLayout, PlacementByAlignment) {
    // Button 100 x 81, pictures 48 x 48, caption 60 x 16 unless said otherwise.
    const struct {
        TLayout align;
        int tw, th;
        QPoint imagem, texto;
    } cases[] = {
        {anBottom, 60, 16, {26, 6}, {20, 58}},   {anTop, 60, 16, {26, 26}, {20, 6}},
        {anLeft, 60, 16, {48, 16}, {-12, 32}},   // caption ends where the picture begins
        {anRight, 60, 16, {4, 16}, {56, 32}},    // 4 pixels between picture and caption
        {anBottom, 0, 0, {26, 14}, {50, 66}},    // no caption
        {anBottom, 131, 16, {26, 6}, {-15, 58}}, // wider than the button: negative x, centred
    };
    for (const auto &c : cases) {
        const ImageButtonLayout l = ImageButtonLayout::calcular(c.align, 100, 81, 48, 48, c.tw, c.th);
        EXPECT_EQ(l.imagem, c.imagem) << "align " << c.align << " tw " << c.tw;
        EXPECT_EQ(l.texto, c.texto) << "align " << c.align << " tw " << c.tw;
    }
}

TEST(Centralizar, TruncatesTowardZero) {
    EXPECT_EQ(Centralizar(QSize(759, 500), QSize(242, 77)), QPoint(258, 211));
    EXPECT_EQ(Centralizar(QSize(100, 100), QSize(105, 100)), QPoint(-2, 0));
    EXPECT_EQ(Centralizar(QSize(300, 200), QSize(100, 50)), QPoint(100, 75));
}

} // namespace
