#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QString>

class QPainter;

// The app's one typeface: Comfortaa, the rounded design (it has Cyrillic), with Noto Color
// Emoji for the emoji. Sizes are in points, which are device-independent pixels here.
namespace Fonts {

QFont rounded(double size, QFont::Weight weight);

// Comfortaa's digits are proportional, so a countdown would twitch every second: these give
// every digit the cell of the widest one, centred in it. Other runs keep their own kerning.
// Draws one line of `text` in the painter's font, its baseline starting at `baseline`. On a
// PDF, colour emoji (which the writer embeds as blank glyphs of a bitmap font) are also drawn
// as pictures over their place; the text stays in the page, selectable and searchable.
void drawText(QPainter& p, QPointF baseline, const QString& text);

double tabularAdvance(const QString& text, const QFontMetricsF& metrics);
void drawTabular(QPainter& p, QPointF baseline, const QString& text, const QFontMetricsF& metrics);

} // namespace Fonts
