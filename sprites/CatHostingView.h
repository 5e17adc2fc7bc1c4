#pragma once

#include <QList>
#include <QPointF>
#include <QSizeF>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

class CatView;

// Hosts the cat view in the cat panel and turns presses, drags, hovering strokes and dropped
// files into calls on the cat. Every point handed out is a global y-up point.
class CatHostingView final : public QWidget {
    Q_OBJECT
  public:
    explicit CatHostingView(CatView* root, QWidget* parent = nullptr);

    std::function<void(double dx)> onStroke = [](double) {};
    std::function<bool(bool hovering)> onDragHover = [](bool) { return false; };
    std::function<bool(const QList<QUrl>& files)> onDropFiles = [](const QList<QUrl>&) {
        return false;
    };
    std::function<bool(QPointF at)> onPickUp = [](QPointF) { return false; };
    std::function<void(QPointF at)> onCarry = [](QPointF) {};
    std::function<void()> onDrop = [] {};
    std::function<bool(QPointF at)> onGrabBed = [](QPointF) { return false; };
    std::function<void(QPointF at)> onMoveBed = [](QPointF) {};
    std::function<void()> onPlaceBed = [] {};

    static constexpr double pickUpDistance = 4.0;
    QSizeF catSize{96, 96};
    double catOffset = 0;

    // Where the cat stands in this view: bottom-aligned, centred, moved by catOffset.
    QRectF catRect() const;
    bool carrying() const { return carrying_; }
    bool draggingBed() const { return draggingBed_; }
    std::optional<QPointF> pressedAt() const { return pressedAt_; }

    // Turns a pointer event's Qt global position into the engine's y-up points; the panel
    // that hosts the view knows how.
    std::function<QPointF(QPointF qtGlobal)> toPoints = [](QPointF p) { return p; };

    // The input handlers, also reachable from tests without a window system.
    void pressed(QPointF local, QPointF global);
    void dragged(QPointF global);
    void released();
    void moved(double dx);
    bool dragEntered();
    void dragExited();
    bool performDrop(const class QMimeData* data);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    CatView* root_;
    std::optional<QPointF> pressedAt_;
    bool carrying_ = false;
    bool draggingBed_ = false;
    std::optional<double> lastX_;
    bool mouthOpen_ = false; // the cat said yes to the file drag over it
};
