#include "kit/Fonts.h"
#include "kit/TextLine.h"
#include "kit/Theme.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// A rendered line that starts with an emoji: the emoji's box (the first run of inked columns),
// how many of its pixels are colourful, and where the letters after it start. Pixels are
// quarter points.
struct Line {
    QRect emoji;
    int colourful = 0;
    int letters = -1;
};

Line measure(const QString& text, double size) {
    TextLine line(text, Fonts::rounded(size, QFont::Bold), Theme::ink());
    line.resize(line.sizeHint() + QSize(8, 8));
    QImage image(line.size() * 4, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(4);
    image.fill(Qt::white);
    line.render(&image, QPoint(), QRegion(), QWidget::DrawChildren); // on white paper
    // The columns with ink; the first run of them is the emoji.
    QList<bool> inked(image.width(), false);
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height() && !inked[x]; ++y)
            inked[x] = image.pixelColor(x, y).lightness() < 245;
    int x = 0;
    while (x < image.width() && !inked[x])
        ++x;
    const int first = x;
    while (x < image.width() && inked[x])
        ++x;
    const int last = x - 1;
    while (x < image.width() && !inked[x])
        ++x;
    Line out;
    out.letters = x < image.width() ? x : -1;
    for (int y = 0; y < image.height(); ++y)
        for (int column = first; column <= last; ++column) {
            const QColor c = image.pixelColor(column, y);
            if (c.lightness() >= 245) continue;
            out.emoji |= QRect(column, y, 1, 1);
            const int chroma =
                std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
            if (chroma > 60) ++out.colourful;
        }
    return out;
}

} // namespace

// The emoji of a line are one size beside the letters, whatever their art leaves empty, and
// keep a whole space to their word; with U+FE0F they are drawn in colour too.
TEST(EmojiText, OneSizeAndOneSpaceBesideTheWord) {
    const double size = 13;
    const double space = QFontMetricsF(Fonts::rounded(size, QFont::Bold)).horizontalAdvance(' ');
    const Line camera = measure(QStringLiteral("📸 For stories"), size);
    const Line tea = measure(QStringLiteral("🍵 Tea"), size);
    const Line coffee = measure(QStringLiteral("☕\uFE0F Break"), size);
    for (const Line* line : {&camera, &tea, &coffee}) {
        ASSERT_GT(line->colourful, 20) << "an emoji drawn without colour";
        ASSERT_GT(line->letters, 0);
        // Taller than a capital, within the font's size (pixels are quarter points here).
        EXPECT_GT(line->emoji.height(), 10 * 4);
        EXPECT_LE(line->emoji.height(), size * 4);
        // The paper between the emoji and its word is at least a space wide.
        EXPECT_GE(line->letters - line->emoji.right() - 1, space * 4 * 0.9)
            << "the emoji reaches into the space before its word";
    }
    EXPECT_NEAR(tea.emoji.height(), camera.emoji.height(), 4);
    EXPECT_NEAR(coffee.emoji.height(), camera.emoji.height(), 4);
}
