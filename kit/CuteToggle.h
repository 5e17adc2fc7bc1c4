#pragma once

#include <QAbstractButton>

class QPainter;
class QVariantAnimation;

// A labelled pill switch filling its row: the label, flexible space, then a 38 × 22 switch
// whose knob slides (critically damped, no overshoot) to the trailing end when on. A click
// anywhere on the row flips it.
class CuteToggle : public QAbstractButton {
    Q_OBJECT
  public:
    static constexpr double switchWidth = 38;
    static constexpr double switchHeight = 22;
    static constexpr int slideMs = 300; // a spring of 0.25 s response settles within this

    explicit CuteToggle(const QString& text, QWidget* parent = nullptr);

    // Where the knob is drawn: 0 at the leading end (off), 1 at the trailing end (on).
    double knob() const { return knob_; }
    // Sets the state without sliding (a state read from a model, not a user's flip).
    void setCheckedNow(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The switch alone in a 38 × 22 box, knob at `knob` (0 … 1).
    static void paintSwitch(QPainter& p, const QRectF& box, double knob);
    // The easing of the slide: a critically damped spring, 0 at 0 and 1 at 1, never above 1.
    static double spring(double progress);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

  private:
    void slide(bool on);

    double knob_ = 0;
    QVariantAnimation* animation_;
};
