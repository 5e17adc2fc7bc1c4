#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

// The card look: a rounded rectangle in `fill` with a 2-point ink outline, resting on an ink
// copy of itself `lift` points lower. As a widget it is a container: its layout sits on the
// face, above the lift. The look can also be painted without a widget.
class Card : public QWidget {
    Q_OBJECT
  public:
    struct Look {
        QColor fill;
        double radius = 16;
        double lift = 3;
    };
    // The panels of the menu window and its screens.
    static Look panel();

    explicit Card(Look look = panel(), QWidget* parent = nullptr);

    const Look& look() const { return look_; }
    void setLook(Look look);

    // Paints a card whose face is `face`; the lift is drawn below it, outside `face`.
    static void paint(QPainter& p, const QRectF& face, const Look& look);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Look look_;
};
