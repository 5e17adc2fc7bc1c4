#include "kit/Flow.h"

#include <QWidget>
#include <algorithm>

Flow::Flow(int spacing, QWidget* parent) : QLayout(parent), spacing_(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

Flow::~Flow() {
    qDeleteAll(items_);
}

void Flow::addItem(QLayoutItem* item) {
    items_.append(item);
    invalidate();
}

QLayoutItem* Flow::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

QLayoutItem* Flow::takeAt(int index) {
    if (index < 0 || index >= items_.size()) return nullptr;
    QLayoutItem* item = items_.takeAt(index);
    invalidate();
    return item;
}

void Flow::setSpacing(int spacing) {
    spacing_ = spacing;
    invalidate();
}

QList<QRect> Flow::place(const QList<QLayoutItem*>& items, int width, int spacing) {
    QList<QRect> frames;
    frames.reserve(items.size());
    int x = 0, y = 0, rowHeight = 0;
    for (QLayoutItem* item : items) {
        if (item->isEmpty()) {
            frames.append(QRect());
            continue;
        }
        QSize size = item->sizeHint();
        if (size.width() > width) {
            const int height =
                item->hasHeightForWidth() ? item->heightForWidth(width) : size.height();
            size = QSize(width, height);
        }
        if (x > 0 && x + size.width() > width) {
            y += rowHeight + spacing;
            x = 0;
            rowHeight = 0;
        }
        frames.append(QRect(QPoint(x, y), size));
        rowHeight = std::max(rowHeight, size.height());
        x += size.width() + spacing;
    }
    return frames;
}

QSize Flow::extent(const QList<QRect>& frames) {
    int right = 0, bottom = 0;
    for (const QRect& frame : frames) {
        if (frame.isNull()) continue;
        right = std::max(right, frame.x() + frame.width());
        bottom = std::max(bottom, frame.y() + frame.height());
    }
    return {right, bottom};
}

int Flow::heightForWidth(int width) const {
    const QMargins m = contentsMargins();
    const int inner = std::max(0, width - m.left() - m.right());
    return extent(place(items_, inner, spacing_)).height() + m.top() + m.bottom();
}

QSize Flow::sizeHint() const {
    const QMargins m = contentsMargins();
    return extent(place(items_, unlimited, spacing_)).grownBy(m);
}

QSize Flow::minimumSize() const {
    // Any width works (wide items are narrowed): the narrowest sensible one is the widest
    // item's own minimum. The height is one item's: the rows a width needs come from
    // heightForWidth, and a minimum counted at the narrowest width would hold every parent
    // at that many rows whatever width it is given.
    QSize least;
    for (QLayoutItem* item : items_)
        if (!item->isEmpty()) least = least.expandedTo(item->minimumSize());
    return least.grownBy(contentsMargins());
}

void Flow::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const QList<QRect> frames = place(items_, inner.width(), spacing_);
    for (qsizetype i = 0; i < items_.size(); ++i)
        if (!frames[i].isNull()) items_[i]->setGeometry(frames[i].translated(inner.topLeft()));
}
