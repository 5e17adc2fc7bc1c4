#pragma once

#include <QColor>
#include <QWidget>

// A capsule progress bar: a cream track with an ink outline and, from the leading edge, a
// capsule in `fill` as wide as `fraction` of the track (never narrower than it is tall, so a
// tiny fraction shows as a dot; nothing at all for 0). As wide as it is given.
class Bar final : public QWidget {
    Q_OBJECT
  public:
    Bar(double fraction, QColor fill, double height, QWidget* parent = nullptr);

    void set(double fraction, QColor fill);
    double fraction() const { return fraction_; }
    const QColor& fill() const { return fill_; }
    // The filled capsule at the current width; empty when nothing is drawn.
    QRectF fillRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double fraction_;
    QColor fill_;
    double height_;
};
