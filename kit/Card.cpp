#include "kit/Card.h"

#include "kit/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {
constexpr double outline = 2;
}

Card::Look Card::panel() {
    return {Theme::paper(), 16, 3};
}

Card::Card(Look look, QWidget* parent) : QWidget(parent), look_(std::move(look)) {
    setContentsMargins(0, 0, 0, int(std::ceil(look_.lift)));
}

void Card::setLook(Look look) {
    look_ = std::move(look);
    setContentsMargins(0, 0, 0, int(std::ceil(look_.lift)));
    update();
}

void Card::paint(QPainter& p, const QRectF& face, const Look& look) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double in = outline / 2;
    const QRectF shape = face.adjusted(in, in, -in, -in);
    const double radius = std::max(0.0, look.radius - in);
    if (look.lift > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::ink());
        QPainterPath face, lift;
        face.addRoundedRect(shape, radius, radius);
        lift.addRoundedRect(shape.translated(0, look.lift), radius, radius);
        p.drawPath(lift.subtracted(face)); // only the sliver shows; keeps faded cards clean
    }
    p.setPen(QPen(Theme::ink(), outline));
    p.setBrush(look.fill);
    p.drawRoundedRect(shape, radius, radius);
    p.restore();
}

void Card::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, QRectF(0, 0, width(), height() - std::ceil(look_.lift)), look_);
}
