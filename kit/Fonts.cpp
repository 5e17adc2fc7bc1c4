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

// An emoji's picture, whatever its art leaves empty around it, is this share of the font's size
// on its longer side: one size beside the letters (taller than a capital) and inside its own
// advance, so the space to its word stays a whole space.
constexpr double emojiSize = 0.95;

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

// The part of a picture that is not transparent.
QRect content(const QImage& image) {
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) < 24) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Draws one line of `text` run by run: each colour glyph (an emoji) as a picture rendered at
// four pixels per point, its art scaled to emojiSize and centred on its place, and, with
// `others`, the rest as glyphs. False, drawing nothing, when the text has no colour glyph.
bool drawRuns(QPainter& p, QPointF baseline, const QString& text, bool others) {
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
            const QRect art = content(image);
            if (art.isEmpty()) continue;
            const double scale = emojiSize * font.pixelSize() / std::max(art.width(), art.height());
            const QSizeF size = QSizeF(art.size()) * scale;
            const QPointF corner = origin + box.center() - QPointF(size.width(), size.height()) / 2;
            p.drawImage(QRectF(corner, size), image, QRectF(art));
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
        if (mayHoldEmoji(text)) drawRuns(p, baseline, text, false);
    } else if (!mayHoldEmoji(text) || !drawRuns(p, baseline, text, true)) {
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
