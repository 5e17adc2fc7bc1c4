#pragma once

#include <QAbstractButton>
#include <QColor>

class QPainter;

// The chunky capsule button: a face in `fill` with an ink outline, resting on an ink base 3
// points below it; pressing sinks the face onto the base. `size` sets both the font size and
// the padding. The look can also be painted without a widget (bubbles, exports).
class ChunkyButton : public QAbstractButton {
    Q_OBJECT
  public:
    struct Look {
        QColor fill;
        double size = 14;
    };
    static constexpr double sink = 3; // how far the face drops when pressed
    static constexpr double disabledOpacity = 0.45;

    ChunkyButton(const QString& text, Look look, QWidget* parent = nullptr);

    const Look& look() const { return look_; }
    void setLook(Look look);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // The whole button (face plus base) for a label, at its natural width.
    static QSizeF naturalSize(const QString& text, double size);
    // Paints the button into `bounds` (face plus base); a wider box stretches the capsule.
    static void paint(QPainter& p, const QRectF& bounds, const QString& text, const Look& look,
                      bool pressed, bool enabled);
    // The face's capsule inside `bounds` (where a press lands).
    static QRectF faceRect(const QRectF& bounds, bool pressed);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

  private:
    Look look_;
};
