#pragma once

#include "platform/Panel.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

class CompositorWatch;
class QPainter;
class X11ServerFrames;

// A transparent floating panel on X11: override-redirect (on every desktop, above full-screen
// windows, never managed or focused), kept on top, and taking the pointer only where something
// is drawn, so clicks on the clear rest reach the window below.
class X11PanelMover;

class X11Panel final : public QObject, public Panel, public QAbstractNativeEventFilter {
    Q_OBJECT
  public:
    explicit X11Panel(QObject* parent = nullptr);
    ~X11Panel() override;

    // The widget that fills the panel (the panel owns it).
    void setContent(QWidget* content);
    QWidget* window() const { return window_.get(); }

    Rect frame() const override { return frame_; }
    void setFrame(const Rect& frame) override;
    // A pointer event's global position (Qt's coordinates) in the engine's y-up points.
    static QPointF pointFromQtGlobal(QPointF qtGlobal);
    void show() override;
    void hide() override;
    bool isVisible() const override;

    // In panel coordinates. Outside it the pointer passes through to whatever lies below.
    void setInputRegion(const QRegion& region);
    QRegion inputRegion() const { return input_; }

    // Keeps this panel directly below another one instead of on top of everything (the bed
    // under the cat). Null: on top again.
    void keepBelow(X11Panel* upper);

    // The panel starts a run of moves (true) or has stood still again (false); see
    // X11PanelMover.
    std::function<void(bool moving)> onMoving;

    // Whether a compositing manager runs; without one the panel cuts itself to its drawing.
    bool composited() const { return composited_; }

    // Shows a new picture of content (a widget in the panel) as a copy of one held on the X
    // server, rendered with paint the first time its key is seen; only the changed rectangle
    // of content is sent. False where that cannot be (no compositor, no 32-bit window):
    // content then paints through Qt.
    bool showFrame(QWidget* content, const QList<int>& key,
                   const std::function<void(QPainter&)>& paint, const QRect& changed);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyInputRegion();
    void cutToDrawing();
    void keepOnTop();
    struct StackPlace {
        xcb_window_t sibling;
        bool above;
    };
    std::optional<StackPlace> placeInStack(xcb_connection_t* c,
                                           const std::vector<xcb_window_t>& children,
                                           xcb_window_t window) const;
    static bool coversAScreen(const xcb_get_geometry_reply_t& g);
    static constexpr int kStackLook = 64; // front-most windows looked at per restack
    static constexpr const char* panelProperty = "purrloxPanel";
    void compositorChanged(bool running);

    std::unique_ptr<QWidget> window_;
    std::unique_ptr<X11PanelMover> mover_;
    QWidget* content_ = nullptr;
    Rect frame_;
    QRegion input_;
    bool composited_ = true;
    bool cutPending_ = false;
    bool grabbing_ = false;
    QTimer guard_;
    QTimer soon_;            // a look at the stacking order after another window's change
    quint32 upperAbove_ = 0; // the sibling the upper panel was last reported above
    std::unique_ptr<CompositorWatch> compositor_;
    std::unique_ptr<X11ServerFrames> frames_;
    static constexpr int kCompositorSettles = 500; // ms from a compositor's arrival to its frames
    X11Panel* upper_ = nullptr;                    // the panel kept directly above this one
    X11Panel* below_ = nullptr;   // the panel that keeps itself directly below this one
    xcb_atom_t stackingAtom_ = 0; // _NET_CLIENT_LIST_STACKING
};
