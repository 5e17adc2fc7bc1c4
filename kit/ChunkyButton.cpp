#include "kit/ChunkyButton.h"

#include "kit/FocusRing.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr double outline = 2;

QPainterPath capsule(const QRectF& r) {
    QPainterPath path;
    const double radius = std::min(r.height(), r.width()) / 2;
    path.addRoundedRect(r, radius, radius);
    return path;
}

} // namespace

ChunkyButton::ChunkyButton(const QString& text, Look look, QWidget* parent)
    : QAbstractButton(parent), look_(std::move(look)) {
    setText(text);
    setFont(Fonts::rounded(look_.size, QFont::Bold));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    FocusRing::mark(*this, FocusRing::capsule);
}

void ChunkyButton::setLook(Look look) {
    const bool resized = look.size != look_.size;
    look_ = std::move(look);
    if (resized) {
        setFont(Fonts::rounded(look_.size, QFont::Bold));
        updateGeometry();
    }
    update();
}

QSizeF ChunkyButton::naturalSize(const QString& text, double size) {
    const QFontMetricsF metrics(Fonts::rounded(size, QFont::Bold));
    const double width = metrics.horizontalAdvance(text) + 2 * size;
    const double height = metrics.height() + 2 * 0.55 * size;
    return {width, height + sink};
}

QSize ChunkyButton::sizeHint() const {
    const QSizeF natural = naturalSize(text(), look_.size);
    return {int(std::ceil(natural.width())), int(std::ceil(natural.height()))};
}

QRectF ChunkyButton::faceRect(const QRectF& bounds, bool pressed) {
    QRectF face(bounds.x(), bounds.y(), bounds.width(), bounds.height() - sink);
    if (pressed) face.translate(0, sink);
    return face;
}

void ChunkyButton::paint(QPainter& p, const QRectF& bounds, const QString& text, const Look& look,
                         bool pressed, bool enabled) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!enabled) p.setOpacity(p.opacity() * disabledOpacity);
    const bool sunk = pressed && enabled;
    // Shapes sit half an outline inside the box so the whole stroke is drawn.
    const double in = outline / 2;
    const QRectF rest = faceRect(bounds, false).adjusted(in, in, -in, -in);
    const QRectF face = faceRect(bounds, sunk).adjusted(in, in, -in, -in);
    // Only the base's visible sliver is painted, so a faded button shows no base through it.
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::ink());
    p.drawPath(capsule(rest.translated(0, sink)).subtracted(capsule(face)));

    QPen pen(Theme::ink(), outline);
    p.setPen(pen);
    p.setBrush(look.fill);
    p.drawPath(capsule(face));

    const QFont font = Fonts::rounded(look.size, QFont::Bold);
    p.setFont(font);
    p.setPen(Theme::ink());
    const QFontMetricsF metrics(font);
    Fonts::drawText(p,
                    QPointF(face.center().x() - metrics.horizontalAdvance(text) / 2,
                            face.center().y() - metrics.height() / 2 + metrics.ascent()),
                    text);
    p.restore();
}

void ChunkyButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, QRectF(rect()), text(), look_, isDown(), isEnabled());
}

bool ChunkyButton::hitButton(const QPoint& pos) const {
    // The capsule at rest and its sunk place both count: a press that sinks it stays inside.
    const QRectF area = faceRect(QRectF(rect()), false).united(faceRect(QRectF(rect()), true));
    return capsule(area).contains(QPointF(pos) + QPointF(0.5, 0.5));
}
