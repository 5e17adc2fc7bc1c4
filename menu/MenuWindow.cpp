#include "menu/MenuWindow.h"

#include "base/Log.h"
#include "kit/Accessibility.h"
#include "kit/FocusRing.h"
#include "kit/Theme.h"
#include "menu/MenuView.h"
#include "menu/PomodoroCard.h"

#include <QCursor>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>
#include <vector>

namespace {

constexpr int gap = 4; // between the tray icon and the window
// The drop shadow: a soft ink falloff (a Gaussian's width in pixels) a little below the window.
constexpr double shadowSigma = 5.0;
constexpr int shadowReach = 12; // where the falloff has faded out
constexpr int shadowDrop = 3;
constexpr double shadowAlpha = 0.28;

// How much of a blurred edge reaches `x` pixels away from it (inside: positive `x`).
double edgeCover(double x) {
    return 0.5 * (1.0 + std::erf(x / (shadowSigma * std::sqrt(2.0))));
}

// A rectangle of ink blurred by a Gaussian: separable, so each pixel is the product of the
// horizontal and vertical coverage; drawn once per window size.
QPixmap drawShadow(QSize size, const QRect& box, qreal dpr) {
    const int w = qRound(size.width() * dpr), h = qRound(size.height() * dpr);
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> across(size_t(std::max(w, 0))), down(size_t(std::max(h, 0)));
    for (int x = 0; x < w; ++x) {
        const double at = (x + 0.5) / dpr;
        across[size_t(x)] = edgeCover(at - box.left()) - edgeCover(at - (box.right() + 1));
    }
    for (int y = 0; y < h; ++y) {
        const double at = (y + 0.5) / dpr;
        down[size_t(y)] = edgeCover(at - box.top()) - edgeCover(at - (box.bottom() + 1));
    }
    const QColor ink = Theme::ink();
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = qRound(255 * shadowAlpha * across[size_t(x)] * down[size_t(y)]);
            row[x] = qRgba(ink.red() * a / 255, ink.green() * a / 255, ink.blue() * a / 255, a);
        }
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

// The window's edge, over everything inside it: a soft ink line so the cream window does not
// melt into a light wallpaper, and a deeper one along the bottom, where a lifted card's base is.
// It lies around the content, inside the shadow's margin.
class Edge final : public QWidget {
  public:
    Edge(QWidget* window, QWidget* content) : QWidget(window), content_(content) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        content->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == content_ &&
            (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
            setGeometry(content_->geometry());
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

  private:
    QWidget* content_;
};

} // namespace

MenuWindow::MenuWindow(MenuModels models, QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), models_(std::move(models)) {
    setWindowTitle(QStringLiteral("Purrlox"));
    Accessibility::install();
    FocusRing::follow();
    setAttribute(Qt::WA_DeleteOnClose, false);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Theme::cream());
    palette.setColor(QPalette::Highlight, Theme::pink()); // the accent, on the light look only
    palette.setColor(QPalette::HighlightedText, Theme::ink());
    setPalette(palette);
    // The window has an alpha channel from the start, whether a compositor runs or not: Qt
    // keeps a window's first visual, and a compositor may come or go while the app runs.
    // Without one the window is opaque cream edge to edge, as it always was.
    setAttribute(Qt::WA_TranslucentBackground);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea;
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(
        Qt::NoFocus); // the page scrolls with the focus, not as a stop of its own
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(true);
    scroll_->viewport()->setAutoFillBackground(false);
    view_ = new MenuView(models_);
    scroll_->setWidget(view_);
    layout->addWidget(scroll_);
    view_->installEventFilter(this);
    setFixedWidth(MenuView::contentWidth);
    new Edge(this, scroll_);
}

QMargins MenuWindow::shadowMargins(bool composited) {
    if (!composited) return {};
    return {shadowReach, shadowReach - shadowDrop, shadowReach, shadowReach + shadowDrop};
}

void MenuWindow::useShadow(bool composited) {
    const QMargins margins = shadowMargins(composited);
    if (margins == margins_) return;
    margins_ = margins;
    layout()->setContentsMargins(margins_);
    setFixedWidth(MenuView::contentWidth + margins_.left() + margins_.right());
    shadow_ = QPixmap();
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
    if (!isVisible() && models_.composited) useShadow(models_.composited());
    // The content goes where it would without a shadow; the margin grows the window outwards
    // and may hang over the work area's edge.
    setGeometry(placement(anchor, QSize(MenuView::contentWidth, contentHeight()), workArea)
                    .marginsAdded(margins_));
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
        // A sub-screen goes back to the main page; the main page closes the window.
        if (view_->screen())
            view_->back();
        else
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

void MenuWindow::mousePressEvent(QMouseEvent* event) {
    // The shadow is outside the window for the eye: a press on it closes like one elsewhere.
    if (!rect().marginsRemoved(margins_).contains(event->position().toPoint())) {
        close();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MenuWindow::resizeEvent(QResizeEvent* event) {
    shadow_ = QPixmap(); // drawn again for the new size on the next paint
    QWidget::resizeEvent(event);
}

void MenuWindow::paintEvent(QPaintEvent*) {
    const QRect content = rect().marginsRemoved(margins_);
    QPainter p(this);
    if (!margins_.isNull()) {
        if (shadow_.isNull())
            shadow_ = drawShadow(size(), content.translated(0, shadowDrop), devicePixelRatioF());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawPixmap(0, 0, shadow_);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    p.fillRect(content, Theme::cream());
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
    QRect frame = contentGeometry();
    if (!needsResize(frame.height(), wanted)) return;
    frame.setHeight(wanted); // the top edge stays
    if (workArea_.isValid() && frame.bottom() > workArea_.bottom())
        frame.moveBottom(workArea_.bottom());
    setGeometry(frame.marginsAdded(margins_));
}
