#include "stats/Bar.h"

#include "kit/Theme.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr double outline = 1.5;
}

Bar::Bar(double fraction, QColor fill, double height, QWidget* parent)
    : QWidget(parent), fraction_(fraction), fill_(std::move(fill)), height_(height) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Bar::set(double fraction, QColor fill) {
    if (fraction == fraction_ && fill == fill_) return;
    fraction_ = fraction;
    fill_ = std::move(fill);
    update();
}

QRectF Bar::fillRect() const {
    if (!(fraction_ > 0)) return {}; // also NaN
    const double track = width();
    const double w = std::max(std::min(fraction_, 1.0) * track, height_);
    return {0, 0, std::min(w, track), height_};
}

QSize Bar::sizeHint() const {
    return {int(std::ceil(height_ * 4)), int(std::ceil(height_))};
}

QSize Bar::minimumSizeHint() const {
    return {int(std::ceil(height_)), int(std::ceil(height_))};
}

void Bar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double in = outline / 2;
    const QRectF track = QRectF(0, 0, width(), height_).adjusted(in, in, -in, -in);
    const double r = track.height() / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::cream());
    p.drawRoundedRect(track, r, r);
    const QRectF filled = fillRect();
    if (!filled.isEmpty()) {
        p.setBrush(fill_);
        p.drawRoundedRect(filled.adjusted(in, in, -in, -in), r, r);
    }
    p.setPen(QPen(Theme::ink(), outline));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(track, r, r);
}
