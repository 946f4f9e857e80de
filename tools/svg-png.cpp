// Renders an SVG picture into a square PNG: svg-png IN.svg OUT.png SIZE. The build makes the
// fixed-size application icons from resources/brisel-scripts.svg with it.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = false;
    const int size = args.value(3).toInt(&ok);
    if (args.size() != 4 || !ok || size <= 0) {
        std::fputs("usage: svg-png IN.svg OUT.png SIZE\n", stderr);
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "svg-png: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    if (!image.save(args[2], "PNG")) {
        std::fprintf(stderr, "svg-png: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
