#include "kit/QuietButton.h"

#include "kit/FocusRing.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"

#include <QPainter>
#include <cmath>

QuietButton::QuietButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setFont(font());
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    FocusRing::mark(*this, 4);
}

QFont QuietButton::font(bool underlined) {
    QFont f = Fonts::rounded(12, QFont::DemiBold);
    f.setUnderline(underlined);
    return f;
}

void QuietButton::setUnderlined(bool underlined) {
    underlined_ = underlined;
    setFont(font(underlined));
    update();
}

QSizeF QuietButton::naturalSize(const QString& text) {
    const QFontMetricsF metrics(font());
    return {metrics.horizontalAdvance(text), metrics.height()};
}

QSize QuietButton::sizeHint() const {
    const QSizeF natural = naturalSize(text());
    return {int(std::ceil(natural.width())), int(std::ceil(natural.height()))};
}

void QuietButton::paint(QPainter& p, const QRectF& bounds, const QString& text, bool pressed,
                        bool underlined) {
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    if (pressed) p.setOpacity(p.opacity() * 0.5);
    p.setFont(font(underlined));
    p.setPen(Theme::inkSoft());
    p.drawText(bounds, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    p.restore();
}

void QuietButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paint(p, QRectF(rect()), text(), isDown(), underlined_);
}
