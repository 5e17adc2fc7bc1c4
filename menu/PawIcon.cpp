#include "menu/PawIcon.h"

#include "kit/Fonts.h"
#include "kit/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

// A paw in a unit box: a wide pad and four toes above it.
void paw(QPainter& p, const QRectF& box, const QColor& colour) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width(), box.height());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPainterPath pad;
    pad.moveTo(0.5, 0.45);
    pad.cubicTo(0.72, 0.45, 0.86, 0.7, 0.82, 0.84);
    pad.cubicTo(0.78, 0.98, 0.62, 0.94, 0.5, 0.92);
    pad.cubicTo(0.38, 0.94, 0.22, 0.98, 0.18, 0.84);
    pad.cubicTo(0.14, 0.7, 0.28, 0.45, 0.5, 0.45);
    p.drawPath(pad);
    p.drawEllipse(QPointF(0.13, 0.42), 0.1, 0.13);
    p.drawEllipse(QPointF(0.35, 0.18), 0.1, 0.14);
    p.drawEllipse(QPointF(0.65, 0.18), 0.1, 0.14);
    p.drawEllipse(QPointF(0.87, 0.42), 0.1, 0.13);
    p.restore();
}

} // namespace

namespace PawIcon {

int shownMinutes(double secondsLeft) {
    return std::max(0, int(std::ceil(secondsLeft / 60.0 - 1e-9)));
}

QImage draw(int size, std::optional<int> minutes, qreal pixelRatio) {
    QImage image(QSize(size, size) * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double s = size;
    if (!minutes) {
        paw(p, QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84), Theme::ink());
        return image;
    }
    // A pink disc keeps the number readable on light and dark panels alike.
    p.setBrush(Theme::pink());
    p.setPen(QPen(Theme::ink(), std::max(1.0, s / 16)));
    p.drawEllipse(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92));
    paw(p, QRectF(s * 0.62, s * 0.02, s * 0.34, s * 0.34), Theme::ink());
    const QString text = QString::number(std::min(*minutes, 999));
    const double fontSize = text.size() >= 3 ? s * 0.38 : s * 0.52;
    const QFont font = Fonts::rounded(fontSize, QFont::Bold);
    const QFontMetricsF metrics(font);
    const double width = Fonts::tabularAdvance(text, metrics);
    p.setFont(font);
    p.setPen(Theme::ink());
    const QPointF baseline((s - width) / 2,
                           (s - metrics.height()) / 2 + metrics.ascent() + s * 0.04);
    Fonts::drawTabular(p, baseline, text, metrics);
    return image;
}

} // namespace PawIcon
