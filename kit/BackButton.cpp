#include "kit/BackButton.h"

#include "kit/FocusRing.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"
#include "strings/Strings.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

BackButton::BackButton(QWidget* parent) : QAbstractButton(parent) {
    setText(S().back());
    setObjectName(QStringLiteral("backButton"));
    setFont(Fonts::rounded(13, QFont::Bold));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    FocusRing::mark(*this);
}

QSize BackButton::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(text()))) + 2,
            int(std::ceil(metrics.height())) + 4};
}

void BackButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setOpacity(isDown() ? 0.5 : 1);
    p.setFont(font());
    p.setPen(Theme::inkSoft());
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
}
