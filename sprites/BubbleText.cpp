#include "sprites/BubbleText.h"

#include "kit/Accessibility.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>
#include <cmath>

namespace {

// A screen reader reads the bubble's words: the letter, the eaten files.
QAccessibleInterface* accessibleBubbleText(const QString& key, QObject* object) {
    if (key != QLatin1String("BubbleText") || !object || !object->isWidgetType()) return nullptr;
    return Accessibility::staticText(static_cast<QWidget*>(object), [](const QWidget* w) {
        return static_cast<const BubbleText*>(w)->text();
    });
}

} // namespace

BubbleText::BubbleText(const QString& text, const QFont& font, const QColor& colour,
                       double lineSpacing, int maxLines, QWidget* parent)
    : QWidget(parent), text_(text), font_(font), colour_(colour), lineSpacing_(lineSpacing),
      maxLines_(maxLines) {
    static const bool accessible = (QAccessible::installFactory(accessibleBubbleText), true);
    Q_UNUSED(accessible);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BubbleText::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    layoutWidth_ = -1;
    updateGeometry();
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

const QTextLayout& BubbleText::laidOut(int width) const {
    if (layout_ && width == layoutWidth_) return *layout_;
    // Line breaks in the text are kept as line breaks within one paragraph.
    QString text = text_;
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);

    const auto build = [&](const QString& content) {
        auto layout = std::make_unique<QTextLayout>(content, font_);
        layout->setTextOption(option);
        layout->beginLayout();
        double y = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height() + lineSpacing_;
        }
        layout->endLayout();
        return layout;
    };
    layout_ = build(text);
    if (maxLines_ > 0 && layout_->lineCount() > maxLines_) {
        // Keep the lines that fit and end the last one with an ellipsis.
        const QTextLine last = layout_->lineAt(maxLines_ - 1);
        const QString kept = text.left(last.textStart());
        const QString rest = text.mid(last.textStart());
        const QFontMetricsF metrics(font_);
        layout_ = build(kept + metrics.elidedText(rest, Qt::ElideRight, width));
    }
    layoutWidth_ = width;
    const int lines = layout_->lineCount();
    layoutHeight_ = 0;
    if (lines > 0) {
        const QTextLine last = layout_->lineAt(lines - 1);
        layoutHeight_ = last.position().y() + last.height();
    }
    return *layout_;
}

int BubbleText::lineCount() const {
    return laidOut(width()).lineCount();
}

int BubbleText::heightForWidth(int width) const {
    laidOut(width);
    return int(std::ceil(layoutHeight_));
}

QSize BubbleText::sizeHint() const {
    const QFontMetricsF metrics(font_);
    const int natural = int(std::ceil(metrics.horizontalAdvance(text_)));
    const int w = width() > 0 ? width() : natural;
    return {natural, heightForWidth(w)};
}

QSize BubbleText::minimumSizeHint() const {
    return {0, heightForWidth(width() > 0 ? width() : 1)};
}

void BubbleText::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    laidOut(width());
}

void BubbleText::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(colour_);
    laidOut(width()).draw(&p, QPointF(0, 0));
}
