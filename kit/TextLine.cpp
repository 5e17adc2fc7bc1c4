#include "kit/TextLine.h"

#include "kit/Accessibility.h"
#include "kit/Fonts.h"

#include <QAccessible>
#include <QPainter>
#include <cmath>

namespace {

// What assistive technology sees of a painted line: static text with the line's words.
QAccessibleInterface* accessibleTextLine(const QString& key, QObject* object) {
    if (key != QLatin1String("TextLine") || !object || !object->isWidgetType()) return nullptr;
    return Accessibility::staticText(static_cast<QWidget*>(object), [](const QWidget* w) {
        return static_cast<const TextLine*>(w)->text();
    });
}

} // namespace

TextLine::TextLine(const QString& text, QFont font, QColor colour, QWidget* parent)
    : QWidget(parent), text_(text), colour_(std::move(colour)) {
    static const bool accessible = (QAccessible::installFactory(accessibleTextLine), true);
    Q_UNUSED(accessible);
    setFont(std::move(font));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TextLine::setText(const QString& text) {
    if (text == text_) return;
    const bool resized =
        std::ceil(advance()) != std::ceil(QFontMetricsF(font()).horizontalAdvance(text));
    text_ = text;
    if (resized) updateGeometry();
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

void TextLine::setColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void TextLine::setTabular(bool tabular) {
    tabular_ = tabular;
    updateGeometry();
    update();
}

void TextLine::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

double TextLine::advance() const {
    const QFontMetricsF metrics(font());
    return tabular_ ? Fonts::tabularAdvance(text_, metrics) : metrics.horizontalAdvance(text_);
}

QSize TextLine::sizeHint() const {
    return {int(std::ceil(advance())), int(std::ceil(QFontMetricsF(font()).height()))};
}

QSize TextLine::minimumSizeHint() const {
    return {tabular_ ? sizeHint().width() : 0, sizeHint().height()};
}

void TextLine::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(colour_);
    const QFontMetricsF metrics(font());
    const double width = advance();
    double x = 0;
    if (alignment_ & Qt::AlignHCenter) x = (this->width() - width) / 2;
    if (alignment_ & Qt::AlignRight) x = this->width() - width;
    const double baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    if (tabular_) {
        Fonts::drawTabular(p, QPointF(x, baseline), text_, metrics);
    } else if (width > this->width()) {
        Fonts::drawText(p, QPointF(0, baseline),
                        metrics.elidedText(text_, Qt::ElideRight, this->width()));
    } else {
        Fonts::drawText(p, QPointF(x, baseline), text_);
    }
}
