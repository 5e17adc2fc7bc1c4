#pragma once

#include "menu/MenuModels.h"

#include <QElapsedTimer>
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QWidget>

class MenuView;
class QScrollArea;

// The popup that holds the menu: frameless, under the tray icon (or at a point), always inside
// the work area, closed by Escape or a click elsewhere. It keeps its top edge and follows its
// content's height.
class MenuWindow : public QWidget {
    Q_OBJECT
  public:
    explicit MenuWindow(MenuModels models, QWidget* parent = nullptr);

    // Opens on the main page under `anchor` (the icon's rectangle, or a 1 × 1 rectangle at
    // the click), inside `workArea`.
    void openAt(const QRect& anchor, const QRect& workArea);
    MenuView* view() const { return view_; }
    // True for a moment after a press inside `icon` (anywhere, when empty) closed it: the
    // tray's click on the icon then only closes the window.
    bool justClosedBy(const QRect& icon) const;

    // Where the window goes: centred under the anchor (over it for a panel at the bottom),
    // moved into the work area; the height capped at the work area's.
    static QRect placement(const QRect& anchor, QSize size, const QRect& workArea);
    // Whether a window of content height `current` resizes to `wanted`.
    static bool needsResize(double current, double wanted) {
        return wanted > 0 && std::abs(current - wanted) > 0.5;
    }
    // The height that the content wants right now.
    int contentHeight() const;
    // Where the visible window (the cream content with its edge) is on the screen; the
    // window's own geometry adds the shadow's margin around it when a compositor runs.
    QRect contentGeometry() const { return geometry().marginsRemoved(margins_); }
    // The shadow's margin around the content: empty without a compositor.
    static QMargins shadowMargins(bool composited);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fit();
    void useShadow(bool composited);

    MenuModels models_;
    MenuView* view_;
    QScrollArea* scroll_;
    QRect workArea_;
    QMargins margins_; // the shadow's, inside the window; empty without a compositor
    QPixmap shadow_;   // drawn once per size
    bool fitQueued_ = false;
    bool awaitingPaint_ = false;
    QElapsedTimer openTimer_;
    QElapsedTimer closedAt_;
    QPoint closedAtPoint_;
};
