#include "sprites/BedView.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QTransform>

BedView::BedView(QImage image, QWidget* parent) : QWidget(parent), image_(std::move(image)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::OpenHandCursor);
}

QRegion BedView::drawnRegion() const {
    if (image_.isNull()) return QRegion(rect());
    const QRegion pixels(QBitmap::fromImage(image_.createAlphaMask()));
    // The panel is as large as the image in points.
    const QSizeF points = image_.deviceIndependentSize();
    return QTransform::fromScale(points.width() / image_.width(), points.height() / image_.height())
        .map(pixels);
}

void BedView::pressed(QPointF global) {
    grab_ = global - origin();
}

void BedView::dragged(QPointF global) {
    if (grab_) moveTo(global - *grab_);
}

void BedView::released() {
    if (!grab_) return;
    onMoved();
    grab_.reset();
}

void BedView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(rect()), image_);
}

void BedView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setCursor(Qt::ClosedHandCursor);
    pressed(toPoints(event->globalPosition()));
}

void BedView::mouseMoveEvent(QMouseEvent* event) {
    dragged(toPoints(event->globalPosition()));
}

void BedView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setCursor(Qt::OpenHandCursor);
    released();
}
