#pragma once

#include <QPointer>
#include <QWidget>

// The keyboard focus ring of our painted controls: a pink rounded outline drawn just outside
// the button, toggle or card that has the keyboard focus. One ring follows the focus across
// the app; focus taken by a mouse press shows none (the pointer already says where it is).
class FocusRing : public QWidget {
    Q_OBJECT
  public:
    // Marks a control as one of ours that gets the ring; `radius` is the ring's corner radius,
    // `capsule` makes it half the control's height.
    static constexpr double capsule = -1;
    static void mark(QWidget& control, double radius = 6);
    // Starts following the focus; later calls do nothing.
    static void follow();
    // The ring while one shows, else null.
    static FocusRing* shown();
    // The accent, deepened to meet 3:1 against cream and paper and against the ink outlines.
    static QColor colour();

    QWidget* around() const { return target_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit FocusRing(QWidget* window);
    friend class FocusFollower;
    void surround(QWidget* target);
    void place();

    QPointer<QWidget> target_;
};
