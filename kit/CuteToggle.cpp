#include "kit/CuteToggle.h"

#include "kit/FocusRing.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"

#include <QEasingCurve>
#include <QPainter>
#include <QVariantAnimation>
#include <cmath>

namespace {

constexpr double outline = 2;
constexpr double inset = 3;
constexpr double gap = 10; // least room between the label and the switch

QFont labelFont() {
    return Fonts::rounded(13, QFont::DemiBold);
}

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

qreal springCurve(qreal progress) {
    return CuteToggle::spring(progress);
}

} // namespace

double CuteToggle::spring(double progress) {
    // x(t) = 1 − (1 + ωt)·e^(−ωt), ω = 2π / response, over the slide's length, scaled so the
    // last step lands exactly on 1. Monotonic, so the knob never passes its end.
    const double omega = 2 * M_PI / 0.25 * (slideMs / 1000.0);
    auto raw = [omega](double t) { return 1 - (1 + omega * t) * std::exp(-omega * t); };
    const double t = std::clamp(progress, 0.0, 1.0);
    return raw(t) / raw(1);
}

CuteToggle::CuteToggle(const QString& text, QWidget* parent)
    : QAbstractButton(parent), animation_(new QVariantAnimation(this)) {
    setText(text);
    setCheckable(true);
    setFont(labelFont());
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FocusRing::mark(*this, FocusRing::capsule);
    animation_->setDuration(slideMs);
    QEasingCurve curve;
    curve.setCustomType(&springCurve);
    animation_->setEasingCurve(curve);
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        knob_ = value.toDouble();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, &CuteToggle::slide);
}

void CuteToggle::setCheckedNow(bool on) {
    const QSignalBlocker quiet(this);
    setChecked(on);
    animation_->stop();
    knob_ = on ? 1 : 0;
    update();
}

void CuteToggle::slide(bool on) {
    animation_->stop();
    animation_->setStartValue(knob_);
    animation_->setEndValue(on ? 1.0 : 0.0);
    animation_->start();
}

QSize CuteToggle::sizeHint() const {
    const QFontMetricsF metrics(labelFont());
    return {int(std::ceil(metrics.horizontalAdvance(text()) + gap + switchWidth)),
            int(std::ceil(std::max(metrics.height(), switchHeight)))};
}

QSize CuteToggle::minimumSizeHint() const {
    return sizeHint();
}

void CuteToggle::paintSwitch(QPainter& p, const QRectF& box, double knob) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double in = outline / 2;
    const QRectF track = box.adjusted(in, in, -in, -in);
    p.setPen(QPen(Theme::ink(), outline));
    p.setBrush(mix(Theme::paper(), Theme::pink(), std::clamp(knob, 0.0, 1.0)));
    p.drawRoundedRect(track, track.height() / 2, track.height() / 2);

    const double diameter = box.height() - 2 * inset;
    const double travel = box.width() - 2 * inset - diameter;
    const QRectF circle(box.x() + inset + travel * knob, box.y() + inset, diameter, diameter);
    p.setBrush(Qt::white);
    p.drawEllipse(circle.adjusted(in, in, -in, -in));
    p.restore();
}

void CuteToggle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box(width() - switchWidth, (height() - switchHeight) / 2, switchWidth,
                     switchHeight);
    p.setFont(labelFont());
    p.setPen(Theme::ink());
    const QRectF label(0, 0, box.left() - gap, height());
    p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               QFontMetricsF(labelFont()).elidedText(text(), Qt::ElideRight, label.width()));
    paintSwitch(p, box, knob_);
}
