// Renders SVG files into PNG files of a given size; used by make-images.py.
// Usage: svg2png WIDTH HEIGHT IN.svg OUT.png [WIDTH HEIGHT IN.svg OUT.png ...]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 5 || (argc - 1) % 4 != 0) {
        std::fprintf(stderr, "usage: svg2png W H in.svg out.png [...]\n");
        return 2;
    }
    for (int i = 1; i + 3 < argc; i += 4) {
        const int width = QString::fromLocal8Bit(argv[i]).toInt();
        const int height = QString::fromLocal8Bit(argv[i + 1]).toInt();
        QSvgRenderer svg(QString::fromLocal8Bit(argv[i + 2]));
        if (!svg.isValid() || width <= 0 || height <= 0) {
            std::fprintf(stderr, "cannot render %s\n", argv[i + 2]);
            return 1;
        }
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        svg.render(&painter);
        painter.end();
        if (!image.save(QString::fromLocal8Bit(argv[i + 3]), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", argv[i + 3]);
            return 1;
        }
    }
    return 0;
}
