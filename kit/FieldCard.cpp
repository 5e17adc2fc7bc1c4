#include "kit/FieldCard.h"

#include "kit/Accessibility.h"
#include "kit/FocusRing.h"
#include "kit/Fonts.h"
#include "kit/Theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {
constexpr double outline = 2;
constexpr int padX = 12;
constexpr int padY = 9;
} // namespace

FieldCard::FieldCard(const QString& placeholder, QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setFont(font());
    setPlaceholderText(placeholder);
    // A screen reader names the field by what it asks for.
    setAccessibleName(Accessibility::spoken(placeholder));
    setTextMargins(padX, padY, padX, padY);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, Theme::ink());
    palette.setColor(QPalette::PlaceholderText, Theme::inkSoft());
    palette.setColor(QPalette::Highlight, Theme::pink());
    palette.setColor(QPalette::HighlightedText, Theme::ink());
    setPalette(palette);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FocusRing::mark(*this, 12);
}

QFont FieldCard::font() {
    return Fonts::rounded(14, QFont::Medium);
}

QSize FieldCard::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.averageCharWidth() * 17)) + 2 * padX,
            int(std::ceil(metrics.height())) + 2 * padY};
}

QSize FieldCard::minimumSizeHint() const {
    return {2 * padX + 20, sizeHint().height()};
}

void FieldCard::paintBackground(QPainter& p, const QRectF& bounds) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double in = outline / 2;
    p.setPen(QPen(Theme::ink(), outline));
    p.setBrush(Theme::paper());
    p.drawRoundedRect(bounds.adjusted(in, in, -in, -in), 12 - in, 12 - in);
    p.restore();
}

void FieldCard::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        paintBackground(p, QRectF(rect()));
    }
    QLineEdit::paintEvent(event);
}

void FieldCard::focusInEvent(QFocusEvent* event) {
    untouched_ = true;
    QLineEdit::focusInEvent(event);
}

void FieldCard::keyPressEvent(QKeyEvent* event) {
    untouched_ = false;
    QLineEdit::keyPressEvent(event);
}

void FieldCard::mousePressEvent(QMouseEvent* event) {
    // The focus arrives before the press that brought it.
    focusingClick_ = selectsOnFirstClick_ && std::exchange(untouched_, false) &&
                     event->button() == Qt::LeftButton;
    QLineEdit::mousePressEvent(event);
}

void FieldCard::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    // A drag on the focusing click chose its own selection; a plain click takes the whole text.
    if (std::exchange(focusingClick_, false) && !hasSelectedText()) selectAll();
}
