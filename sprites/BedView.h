#pragma once

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <functional>
#include <optional>

// The empty bed's panel content: draws the bed and lets the user drag its panel. Points handed
// out are global y-up points.
class BedView final : public QWidget {
    Q_OBJECT
  public:
    explicit BedView(QImage image, QWidget* parent = nullptr);

    // Called once the user has let go of a dragged bed.
    std::function<void()> onMoved = [] {};
    // Moves the panel's origin (its bottom-left corner) during a drag.
    std::function<void(QPointF origin)> moveTo = [](QPointF) {};
    // The panel's current origin.
    std::function<QPointF()> origin = [] { return QPointF(); };
    // Turns a pointer event's Qt global position into the engine's y-up points; the panel
    // that hosts the view knows how.
    std::function<QPointF(QPointF qtGlobal)> toPoints = [](QPointF p) { return p; };

    // The opaque part of the image, in widget points: where the bed takes the pointer.
    QRegion drawnRegion() const;

    // The input handlers, also reachable from tests without a window system.
    void pressed(QPointF global);
    void dragged(QPointF global);
    void released();
    std::optional<QPointF> grab() const { return grab_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QImage image_;
    std::optional<QPointF> grab_;
};
