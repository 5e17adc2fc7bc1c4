#include "menu/PawIcon.h"

#include "kit/Fonts.h"
#include "kit/Theme.h"

#include <QIconEngine>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
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

class PawEngine final : public QIconEngine {
  public:
    explicit PawEngine(std::optional<int> minutes) : minutes_(minutes) {}
    QIconEngine* clone() const override { return new PawEngine(minutes_); }
    QString key() const override { return QStringLiteral("PurrloxPaw"); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }
    void paint(QPainter* p, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const int side = std::min(rect.width(), rect.height());
        if (side <= 0) return;
        const qreal ratio = p->device() ? p->device()->devicePixelRatioF() : 1;
        const QImage image = PawIcon::draw(side, minutes_, ratio);
        const QRect square(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2, side, side);
        p->drawImage(square, image);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        const int side = std::min(size.width(), size.height());
        if (side <= 0) return {};
        return QPixmap::fromImage(PawIcon::draw(side, minutes_, scale));
    }

  private:
    std::optional<int> minutes_;
};

} // namespace

namespace PawIcon {

QIcon icon(std::optional<int> minutes) {
    return QIcon(new PawEngine(minutes));
}

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
    // A pink disc keeps the number readable on light and dark panels alike; at tray sizes
    // the number needs the whole disc, so the paw stays out of it.
    const double line = std::max(1.0, s / 16);
    p.setBrush(Theme::pink());
    p.setPen(QPen(Theme::ink(), line));
    p.drawEllipse(QRectF(line / 2, line / 2, s - line, s - line));
    const QString text = QString::number(std::min(*minutes, 999));
    const double fontSize = text.size() >= 3 ? s * 0.4 : s * 0.56;
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
