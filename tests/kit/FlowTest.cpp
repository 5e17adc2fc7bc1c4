#include "kit/Flow.h"

#include <QSpacerItem>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A fixed-size item that takes room (a spacer counts as empty).
class Chip : public QSpacerItem {
  public:
    Chip(int w, int h) : QSpacerItem(w, h, QSizePolicy::Fixed, QSizePolicy::Fixed) {}
    bool isEmpty() const override { return false; }
};

// A chip whose height depends on the width it is given, like wrapped text.
class Wrapping : public Chip {
  public:
    Wrapping(int w, int h) : Chip(w, h) {}
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return sizeHint().height() * 2 * 100 / width; }
};

QList<QLayoutItem*> chips(std::initializer_list<QSize> sizes) {
    QList<QLayoutItem*> items;
    for (QSize s : sizes)
        items.append(new Chip(s.width(), s.height()));
    return items;
}

} // namespace

TEST(Flow, WrapsAtTheAvailableWidthWithSpacingBetweenItemsAndRows) {
    const QList<QLayoutItem*> items = chips({{60, 20}, {60, 24}, {60, 20}});
    const QList<QRect> frames = Flow::place(items, 130, 6);
    EXPECT_EQ(frames[0], QRect(0, 0, 60, 20));
    EXPECT_EQ(frames[1], QRect(66, 0, 60, 24));
    EXPECT_EQ(frames[2], QRect(0, 24 + 6, 60, 20)); // the row's tallest item sets its height
    EXPECT_EQ(Flow::extent(frames), QSize(126, 50));
    // Exactly filling the width still fits; one point more wraps.
    EXPECT_EQ(Flow::place(items, 126, 6)[1].topLeft(), QPoint(66, 0));
    EXPECT_EQ(Flow::place(items, 125, 6)[1].topLeft(), QPoint(0, 26));
    // No width limit: one row, and the extent is the last right edge.
    EXPECT_EQ(Flow::extent(Flow::place(items, Flow::unlimited, 6)), QSize(192, 24));
    EXPECT_EQ(Flow::extent({}), QSize(0, 0));
    qDeleteAll(items);
}

TEST(Flow, AnItemWiderThanTheWidthGetsThatWidthAndStaysInItsRowWhenFirst) {
    Wrapping wide(200, 20);
    Chip small(40, 10);
    Chip tall(300, 15); // no height-for-width
    const QList<QRect> frames = Flow::place({&wide, &small, &tall}, 100, 6);
    EXPECT_EQ(frames[0], QRect(0, 0, 100, 40));  // asked again at width 100: twice as tall
    EXPECT_EQ(frames[1], QRect(0, 46, 40, 10));  // 0 + 100 + 6 > 100: a new row
    EXPECT_EQ(frames[2], QRect(0, 62, 100, 15)); // narrowed, height kept, wraps after `small`
    // Alone, a wide item is never moved down.
    EXPECT_EQ(Flow::place({&tall}, 100, 6)[0].topLeft(), QPoint(0, 0));
}

TEST(Flow, AsALayoutItPlacesHidesAndReportsHeightForWidth) {
    QWidget host;
    auto* column = new QVBoxLayout(&host);
    column->setContentsMargins(0, 0, 0, 0);
    auto* flow = new Flow(6);
    column->addLayout(flow);
    QList<QWidget*> widgets;
    for (int i = 0; i < 3; ++i) {
        auto* w = new QWidget;
        w->setFixedSize(60, 20);
        flow->addWidget(w);
        widgets.append(w);
    }
    EXPECT_EQ(flow->sizeHint(), QSize(192, 20));
    EXPECT_EQ(flow->heightForWidth(130), 46);
    host.setFixedWidth(130);
    host.show();
    host.layout()->activate();
    EXPECT_EQ(widgets[1]->geometry(), QRect(66, 0, 60, 20));
    EXPECT_EQ(widgets[2]->geometry(), QRect(0, 26, 60, 20));
    // The parent learns the rows a width needs from heightForWidth; the minimum is one row's,
    // so a wider parent is never held at the rows of the narrowest width.
    EXPECT_EQ(host.heightForWidth(130), 46);
    EXPECT_EQ(flow->minimumSize(), QSize(60, 20));

    // A hidden child takes no place; the next one moves up into its slot.
    widgets[1]->hide();
    host.layout()->activate();
    EXPECT_EQ(widgets[2]->geometry(), QRect(66, 0, 60, 20));
    EXPECT_EQ(flow->heightForWidth(130), 20);
}
