#include "menu/MenuWindow.h"

#include "base/Log.h"
#include "kit/FocusRing.h"
#include "kit/Theme.h"
#include "menu/MenuView.h"
#include "menu/PomodoroCard.h"

#include <QCursor>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int gap = 4; // between the tray icon and the window

// The window's edge, over everything inside it: a soft ink line so the cream window does not
// melt into a light wallpaper, and a deeper one along the bottom, where a lifted card's base is.
class Edge final : public QWidget {
  public:
    explicit Edge(QWidget* window) : QWidget(window) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
            raise();
        }
        return QWidget::eventFilter(watched, event);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QColor line = Theme::ink();
        line.setAlphaF(0.45f);
        p.setPen(QPen(line, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        line.setAlphaF(0.25f);
        p.setPen(QPen(line, 1));
        p.drawLine(QPointF(1, height() - 1.5), QPointF(width() - 1, height() - 1.5));
    }
};

} // namespace

MenuWindow::MenuWindow(MenuModels models, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), models_(std::move(models)) {
    setWindowTitle(QStringLiteral("Purrlox"));
    FocusRing::follow();
    setAttribute(Qt::WA_DeleteOnClose, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Theme::cream());
    palette.setColor(QPalette::Highlight, Theme::pink()); // the accent, on the light look only
    palette.setColor(QPalette::HighlightedText, Theme::ink());
    setPalette(palette);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea;
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(true);
    scroll_->viewport()->setAutoFillBackground(false);
    view_ = new MenuView(models_);
    scroll_->setWidget(view_);
    layout->addWidget(scroll_);
    view_->installEventFilter(this);
    setFixedWidth(MenuView::contentWidth);
    new Edge(this);
}

QRect MenuWindow::placement(const QRect& anchor, QSize size, const QRect& workArea) {
    const int height = std::min(size.height(), workArea.height());
    const int width = std::min(size.width(), workArea.width());
    int x = anchor.center().x() - width / 2;
    // A panel in the lower half of the screen opens the window upwards.
    const bool below = anchor.center().y() < workArea.center().y();
    int y = below ? anchor.bottom() + 1 + gap : anchor.top() - gap - height;
    x = std::clamp(x, workArea.left(), workArea.right() + 1 - width);
    y = std::clamp(y, workArea.top(), workArea.bottom() + 1 - height);
    return {x, y, width, height};
}

int MenuWindow::contentHeight() const {
    return view_->heightForWidth(MenuView::contentWidth);
}

void MenuWindow::openAt(const QRect& anchor, const QRect& workArea) {
    openTimer_.start();
    awaitingPaint_ = true;
    workArea_ = workArea;
    view_->back();
    view_->layout()->activate();
    setGeometry(placement(anchor, QSize(MenuView::contentWidth, contentHeight()), workArea));
    show();
    raise();
    activateWindow();
    view_->pomodoroCard()->focusFirst();
}

bool MenuWindow::justClosedBy(const QRect& icon) const {
    return closedAt_.isValid() && closedAt_.elapsed() < 500 &&
           (icon.isEmpty() || icon.adjusted(-2, -2, 2, 2).contains(closedAtPoint_));
}

void MenuWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MenuWindow::hideEvent(QHideEvent* event) {
    // Closed by a press outside (perhaps on the tray icon), not by Escape or a button.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        closedAt_.start();
        closedAtPoint_ = QCursor::pos();
    } else {
        closedAt_.invalidate();
    }
    QWidget::hideEvent(event);
}

bool MenuWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Paint && awaitingPaint_) {
        awaitingPaint_ = false;
        Log::info(QStringLiteral("menu window painting %1 ms after the click, at %2")
                      .arg(openTimer_.elapsed())
                      .arg(QDateTime::currentMSecsSinceEpoch()));
    }
    // The content asked for a new layout: resize after this layout pass, not inside it.
    if (watched == view_ && event->type() == QEvent::LayoutRequest && !fitQueued_) {
        fitQueued_ = true;
        QMetaObject::invokeMethod(this, &MenuWindow::fit, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void MenuWindow::fit() {
    fitQueued_ = false;
    if (!isVisible()) return;
    int wanted = contentHeight();
    if (workArea_.isValid()) wanted = std::min(wanted, workArea_.height());
    if (!needsResize(height(), wanted)) return;
    QRect frame = geometry();
    frame.setHeight(wanted); // the top edge stays
    if (workArea_.isValid() && frame.bottom() > workArea_.bottom())
        frame.moveBottom(workArea_.bottom());
    setGeometry(frame);
}
