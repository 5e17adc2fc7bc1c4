#pragma once

#include <QWidget>

class QVBoxLayout;

// The speech-bubble frame shared by the letter and eaten bubbles: paper with an ink outline on
// an ink copy of itself 4 points lower, a diamond tail over its bottom edge pointing at the cat
// (drawn over the bubble, so the edge opens into it), and for
// letters a heart seal on the top edge. The bubble is `width` points wide; its content sits 16
// points inside. The widget reaches past the bubble by the seal, the shadow and the tail.
class Bubble : public QWidget {
    Q_OBJECT
  public:
    static constexpr double padding = 16;
    static constexpr double radius = 22;
    static constexpr double shadow = 4;
    static constexpr double tailSize = 24;
    static constexpr double tailDrop = 3; // how far the tail's centre sits below the bubble's edge
    static constexpr double tailLimit = 95;
    static constexpr double sealSize = 32;

    Bubble(bool seal, double width, QWidget* parent = nullptr);

    // The content column: centred, spacing set by the bubble kind.
    QVBoxLayout* column() const { return column_; }
    // The tail's horizontal offset from the bubble's middle, clamped to ±95.
    void setTail(double offset);
    double tail() const { return tail_; }
    // Where the bubble itself lies in the widget, and its tail's centre.
    QRectF body() const;
    QPointF tailCentre() const;
    // The height the content asks for at the bubble's width, seal and tail included.
    int naturalHeight() const;
    // The bubble's width and the room the seal takes above it and the tail below.
    double bubbleWidth() const { return width_; }
    double above() const;
    static double below();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool seal_;
    double width_;
    double tail_ = 0;
    QVBoxLayout* column_;
};
