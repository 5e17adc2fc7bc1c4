#include "sprites/Bubble.h"

#include "kit/Fonts.h"
#include "kit/Theme.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double line = 2;

} // namespace

Bubble::Bubble(bool seal, double width, QWidget* parent)
    : QWidget(parent), seal_(seal), width_(width) {
    setAttribute(Qt::WA_TranslucentBackground);
    column_ = new QVBoxLayout(this);
    column_->setAlignment(Qt::AlignHCenter);
    column_->setContentsMargins(int(padding), int(above() + padding), int(padding),
                                int(padding + below()));
    column_->setSpacing(0);
    setFixedWidth(int(width));
}

int Bubble::naturalHeight() const {
    return column_->totalHeightForWidth(int(width_));
}

double Bubble::above() const {
    return seal_ ? sealSize / 2 : 0;
}

double Bubble::below() {
    // The tail's lowest corner, its outline and its shadow included.
    return tailDrop + tailSize * std::numbers::sqrt2 / 2 + line / 2 + shadow;
}

void Bubble::setTail(double offset) {
    offset = std::clamp(offset, -tailLimit, tailLimit);
    if (offset == tail_) return;
    tail_ = offset;
    update();
}

QRectF Bubble::body() const {
    return QRectF(0, above(), width_, height() - above() - below());
}

QPointF Bubble::tailCentre() const {
    const QRectF b = body();
    return QPointF(b.center().x() + tail_, b.bottom() + tailDrop);
}

void Bubble::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Strokes sit inside the bubble's own width.
    const QRectF b = body().adjusted(line / 2, line / 2, -line / 2, -line / 2);
    // The tail: a square with small rounded corners turned by 45°, centred just under the
    // bottom edge. Its paper covers the edge, so the bubble opens into it; only its lower sides
    // are outlined, and it has the same hard shadow as the bubble.
    QPainterPath tail;
    tail.addRoundedRect(QRectF(-tailSize / 2, -tailSize / 2, tailSize, tailSize), 3, 3);
    QTransform turn;
    turn.translate(tailCentre().x(), tailCentre().y());
    turn.rotate(45);
    tail = turn.map(tail);

    p.setPen(Qt::NoPen);
    p.setBrush(Theme::ink());
    p.drawRoundedRect(b.translated(0, shadow), radius, radius);
    p.drawPath(tail.translated(0, shadow));
    p.setPen(QPen(Theme::ink(), line));
    p.setBrush(Theme::paper());
    p.drawRoundedRect(b, radius, radius);

    p.save();
    // Below the inner side of the bottom edge's stroke only: above it the tail is the bubble.
    p.setClipRect(QRectF(0, b.bottom() - line / 2, width(), height()));
    p.setPen(Qt::NoPen);
    p.drawPath(tail);
    p.setPen(QPen(Theme::ink(), line));
    p.setBrush(Qt::NoBrush);
    p.setClipRect(QRectF(0, b.bottom() + line / 2, width(), height()));
    p.drawPath(tail);
    p.restore();

    if (seal_) {
        const QRectF circle(b.center().x() - sealSize / 2, body().top() - sealSize / 2, sealSize,
                            sealSize);
        p.setBrush(Theme::pink());
        p.drawEllipse(circle.adjusted(line / 2, line / 2, -line / 2, -line / 2));
        p.setFont(Fonts::rounded(16, QFont::Normal));
        p.drawText(circle, Qt::AlignCenter, QStringLiteral("💗"));
    }
}
