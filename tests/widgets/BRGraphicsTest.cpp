#include "widgets/BRGraphics.h"

#include <gtest/gtest.h>

namespace {

// A one-pixel picture in 24-bit blue, green, red byte order.
QImage pixel(uchar blue, uchar green, uchar red) {
    QImage image(1, 1, QImage::Format_BGR888);
    uchar *p = image.scanLine(0);
    p[0] = blue;
    p[1] = green;
    p[2] = red;
    return image;
}

struct Bgr {
    int blue, green, red;
};

Bgr read(const QImage &image, int x = 0, int y = 0) {
    const uchar *p = image.constScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

TEST(AplicarBrilho, HalvesEachChannelRoundingDown) {
    QImage image = pixel(255, 128, 1);
    AplicarBrilho(image, -50);
    const Bgr out = read(image);
    EXPECT_EQ(out.blue, 127);
    EXPECT_EQ(out.green, 64);
    EXPECT_EQ(out.red, 0);
}

TEST(AplicarBrilhoEContraste, PerChannelTable) {
    const struct {
        bool contraste;
        int valor, in, out;
    } cases[] = {
        {false, 50, 200, 255}, {false, 50, 0, 0},    {false, -50, 0, 0},    {false, 100, 100, 200},
        {false, -100, 77, 0},  {true, 50, 200, 237}, {true, 50, 127, 127},  {true, 50, 0, 0},
        {true, -50, 200, 163}, {true, -50, 0, 64},   {true, 100, 128, 129}, {true, 200, 250, 255},
    };
    for (const auto &c : cases) {
        QImage image = pixel(c.in, c.in, c.in);
        if (c.contraste)
            AplicarContraste(image, c.valor);
        else
            AplicarBrilho(image, c.valor);
        const Bgr out = read(image);
        EXPECT_EQ(out.blue, c.out) << (c.contraste ? "contraste " : "brilho ") << c.valor << " on " << c.in;
        EXPECT_EQ(out.green, c.out);
        EXPECT_EQ(out.red, c.out);
    }
}

TEST(AplicarBrilho, ConvertsOtherFormatsAndKeepsEveryRowAndChannelApart) {
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(200, 100, 40));
    image.setPixelColor(2, 1, QColor(10, 20, 30));
    AplicarBrilho(image, -50);
    EXPECT_EQ(image.format(), QImage::Format_BGR888);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(100, 50, 20));
    EXPECT_EQ(image.pixelColor(2, 1), QColor(5, 10, 15));
}

TEST(LimitarCanal, ClampsToAByte) {
    EXPECT_EQ(LimitarCanal(-1), 0);
    EXPECT_EQ(LimitarCanal(0), 0);
    EXPECT_EQ(LimitarCanal(255), 255);
    EXPECT_EQ(LimitarCanal(256), 255);
    EXPECT_EQ(LimitarCanal(1LL << 40), 255);
}

TEST(PercentualArredondado, HalvesAwayFromZero) {
    EXPECT_EQ(PercentualArredondado(73, 50), 37);
    EXPECT_EQ(PercentualArredondado(-73, 50), -37);
    EXPECT_EQ(PercentualArredondado(1, -50), -1);
    EXPECT_EQ(PercentualArredondado(1, 49), 0);
    EXPECT_EQ(PercentualArredondado(3000000000LL, 100), 3000000000LL); // needs the 64-bit product
}

} // namespace
