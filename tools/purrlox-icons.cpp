// Draws the app icon's PNG sizes from its SVG at build time:
//   purrlox-icons ICON.svg OUTDIR SIZE...   writes OUTDIR/<size>.png for each size
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: purrlox-icons ICON.svg OUTDIR SIZE...\n");
        return 2;
    }
    // A headless build machine has no display: the renderer needs none.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "purrlox-icons: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        if (size <= 0) return 2;
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        svg.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString out =
            QStringLiteral("%1/%2.png").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        if (!image.save(out, "PNG")) {
            std::fprintf(stderr, "purrlox-icons: cannot write %s\n", qPrintable(out));
            return 1;
        }
    }
    return 0;
}
