#pragma once

#include <QLayout>
#include <QList>
#include <QRect>
#include <QWidget>

// Lays out its items in rows that wrap at the available width, left to right, top to bottom,
// with `spacing` between items in a row and between rows. An item wider than the whole width
// is given that width (and its height for it); the first item of a row never moves down.
class Flow : public QLayout {
    Q_OBJECT
  public:
    static constexpr int unlimited = QWIDGETSIZE_MAX;

    explicit Flow(int spacing, QWidget* parent = nullptr);
    ~Flow() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    int spacing() const override { return spacing_; }
    void setSpacing(int spacing) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

    // The frames of `items` (hidden ones get an empty frame) for an available width, relative
    // to the layout's top-left; `unlimited` places everything in one row.
    static QList<QRect> place(const QList<QLayoutItem*>& items, int width, int spacing);
    // The bounding size of frames: the largest right and bottom edges, 0 when there are none.
    static QSize extent(const QList<QRect>& frames);

  private:
    QList<QLayoutItem*> items_;
    int spacing_;
};
