#include "kit/Fonts.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr double emojiGrowth = 1.2;

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

// Draws one line of `text` run by run: each colour glyph (an emoji) as a picture rendered at
// four pixels per point and grown by `growth` about its centre, and, with `others`, the rest
// as glyphs. False, drawing nothing, when the text has no colour glyph.
bool drawRuns(QPainter& p, QPointF baseline, const QString& text, double growth, bool others) {
    constexpr double resolution = 4; // sharp when printed
    QTextLayout layout(text, p.font());
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return false;
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (std::none_of(runs.begin(), runs.end(),
                     [](const QGlyphRun& run) { return colourFont(run.rawFont()); }))
        return false;
    const QPointF origin = baseline - QPointF(0, line.ascent());
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const QGlyphRun& run : runs) {
        const QRawFont font = run.rawFont();
        if (!colourFont(font)) {
            if (others) p.drawGlyphRun(origin, run);
            continue;
        }
        // One run holds every emoji of the line: each is drawn on its own.
        QRawFont sharp = font;
        sharp.setPixelSize(font.pixelSize() * resolution);
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
            const QRectF box = font.boundingRect(glyphs[i]).translated(positions[i]);
            if (box.isEmpty()) continue;
            QGlyphRun one;
            one.setRawFont(sharp);
            one.setGlyphIndexes({glyphs[i]});
            one.setPositions({(positions[i] - box.topLeft()) * resolution});
            QImage image(int(std::ceil(box.width() * resolution)),
                         int(std::ceil(box.height() * resolution)),
                         QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter picture(&image);
            picture.drawGlyphRun(QPointF(0, 0), one);
            picture.end();
            const QSizeF size = QSizeF(image.size()) / resolution * growth;
            const QPointF corner = origin + box.center() - QPointF(size.width(), size.height()) / 2;
            p.drawImage(QRectF(corner, size), image);
        }
    }
    p.restore();
    return true;
}

// Whether the text may hold an emoji: anything from the symbol blocks up.
bool mayHoldEmoji(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x2100; });
}

// Heavy: Comfortaa's heaviest face is Bold, so the letters get a thin rim of their own colour,
// filled with it too, so that a renderer that draws the path without the text (or the text
// without the path) still shows whole letters. Built from the glyphs laid out in the painter's
// font, the one drawText uses, so it lies on the letters. Colour emoji are left alone.
void drawWeight(QPainter& p, QPointF baseline, const QString& text) {
    QTextLayout layout(text, p.font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return;
    QPainterPath outline;
    const QPointF origin = baseline - QPointF(0, line.ascent());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        if (colourFont(run.rawFont())) continue;
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
            outline.addPath(
                run.rawFont().pathForGlyph(glyphs[i]).translated(origin + positions[i]));
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = p.pen().color();
    p.setPen(
        QPen(colour, p.font().pixelSize() * 0.045, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(outline);
    p.restore();
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
    const QPaintEngine* engine = p.paintEngine();
    const bool pdf = engine && engine->type() == QPaintEngine::Pdf;
    p.save();
    if (pdf) {
        // Unshaped: the PDF writer maps a ligature glyph (Comfortaa's "ff") to no text at all.
        QFont plain = p.font();
        plain.setStyleStrategy(
            QFont::StyleStrategy(plain.styleStrategy() | QFont::PreferNoShaping));
        p.setFont(plain);
    }
    if (p.font().weight() > QFont::Bold) drawWeight(p, baseline, text);
    if (pdf) {
        p.drawText(baseline, text);
        if (mayHoldEmoji(text)) drawRuns(p, baseline, text, 1, false);
    } else if (!mayHoldEmoji(text) || !drawRuns(p, baseline, text, emojiGrowth, true)) {
        // Emoji a fifth larger than the letters: at the font's size a colour emoji is no
        // taller than a capital and reads as a speck beside the rounded text.
        p.drawText(baseline, text);
    }
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
