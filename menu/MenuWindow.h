#pragma once

#include "menu/MenuModels.h"

#include <QElapsedTimer>
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
    // True for a moment after a click outside closed it: that click was on the tray icon.
    bool justClosed() const;

    // Where the window goes: centred under the anchor (over it for a panel at the bottom),
    // moved into the work area; the height capped at the work area's.
    static QRect placement(const QRect& anchor, QSize size, const QRect& workArea);
    // Whether a window of content height `current` resizes to `wanted`.
    static bool needsResize(double current, double wanted) {
        return wanted > 0 && std::abs(current - wanted) > 0.5;
    }
    // The height that the content wants right now.
    int contentHeight() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fit();

    MenuModels models_;
    MenuView* view_;
    QScrollArea* scroll_;
    QRect workArea_;
    bool fitQueued_ = false;
    QElapsedTimer closedAt_;
};
