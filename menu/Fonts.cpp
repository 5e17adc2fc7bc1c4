#include "menu/Fonts.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

template <typename Run> void tabularRuns(const QString& text, Run run) {
    qsizetype start = 0;
    while (start < text.size()) {
        const bool digit = text[start].isDigit();
        qsizetype end = start + 1;
        while (end < text.size() && !digit && !text[end].isDigit())
            ++end;
        run(text.mid(start, end - start), digit);
        start = end;
    }
}

// Whether glyphs of this font are pictures: bitmap (CBDT, sbix) or layered (COLR) colour.
bool colourFont(const QRawFont& font) {
    for (const char* table : {"CBDT", "sbix", "COLR"})
        if (!font.fontTable(table).isEmpty()) return true;
    return false;
}

// Draws the colour glyphs of `text` as images, each run rendered at `resolution` pixels per
// point, at the places the painter's drawText gave them.
void drawColourGlyphs(QPainter& p, QPointF baseline, const QString& text) {
    constexpr double resolution = 4; // sharp when printed
    QTextLayout layout(text, p.font());
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return;
    const QPointF origin = baseline - QPointF(0, line.ascent());
    for (QGlyphRun run : layout.glyphRuns()) {
        const QRawFont font = run.rawFont();
        if (!colourFont(font)) continue;
        const QRectF box = run.boundingRect();
        if (box.isEmpty()) continue;
        QRawFont sharp = font;
        sharp.setPixelSize(font.pixelSize() * resolution);
        QList<QPointF> positions = run.positions();
        for (QPointF& at : positions)
            at = (at - box.topLeft()) * resolution;
        run.setRawFont(sharp);
        run.setPositions(positions);
        QImage image(int(std::ceil(box.width() * resolution)),
                     int(std::ceil(box.height() * resolution)),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter picture(&image);
        picture.drawGlyphRun(QPointF(0, 0), run);
        picture.end();
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(origin + box.topLeft(), QSizeF(image.size()) / resolution), image);
        p.restore();
    }
}

double digitCell(const QFontMetricsF& metrics) {
    double cell = 0;
    for (char d = '0'; d <= '9'; ++d)
        cell = std::max(cell, metrics.horizontalAdvance(QChar(d)));
    return cell;
}

} // namespace

namespace Fonts {

QFont rounded(double size, QFont::Weight weight) {
    QFont font;
    font.setFamilies({QStringLiteral("Comfortaa"), QStringLiteral("Noto Color Emoji")});
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawText(QPainter& p, QPointF baseline, const QString& text) {
    if (p.font().weight() > QFont::Bold) {
        // Heavy: Comfortaa's heaviest face is Bold, so the letters get a thin outline of their
        // own colour on top (colour emoji have no outline and are left alone).
        QPainterPath outline;
        outline.addText(baseline, p.font(), text);
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(p.pen().color(), p.font().pixelSize() * 0.045, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(outline);
        p.restore();
    }
    const QPaintEngine* engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Pdf) {
        p.drawText(baseline, text);
        return;
    }
    // Unshaped: the PDF writer maps a ligature glyph (Comfortaa's "ff") to no text at all.
    p.save();
    QFont plain = p.font();
    plain.setStyleStrategy(QFont::StyleStrategy(plain.styleStrategy() | QFont::PreferNoShaping));
    p.setFont(plain);
    p.drawText(baseline, text);
    drawColourGlyphs(p, baseline, text);
    p.restore();
}

double tabularAdvance(const QString& text, const QFontMetricsF& metrics) {
    const double cell = digitCell(metrics);
    double width = 0;
    tabularRuns(text, [&](const QString& run, bool digit) {
        width += digit ? cell : metrics.horizontalAdvance(run);
    });
    return width;
}

void drawTabular(QPainter& p, QPointF baseline, const QString& text, const QFontMetricsF& metrics) {
    const double cell = digitCell(metrics);
    tabularRuns(text, [&](const QString& run, bool digit) {
        const double advance = metrics.horizontalAdvance(run);
        drawText(p, baseline + QPointF(digit ? (cell - advance) / 2 : 0, 0), run);
        baseline.rx() += digit ? cell : advance;
    });
}

} // namespace Fonts
