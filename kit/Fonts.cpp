#include "kit/Fonts.h"

#include <QPainter>
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
        p.drawText(baseline + QPointF(digit ? (cell - advance) / 2 : 0, 0), run);
        baseline.rx() += digit ? cell : advance;
    });
}

} // namespace Fonts
