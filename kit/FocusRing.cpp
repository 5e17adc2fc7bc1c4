#include "kit/FocusRing.h"

#include "kit/Theme.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int margin = 3;  // the ring's room outside the control
constexpr double line = 3; // the ring's width, whole pixels so its straight sides are crisp
constexpr char radiusProperty[] = "purrloxFocusRadius";

} // namespace

// Moves the one ring to the widget that takes the keyboard focus. Owned by the application.
class FocusFollower : public QObject {
  public:
    explicit FocusFollower(QObject* parent) : QObject(parent) {
        connect(qApp, &QApplication::focusChanged, this,
                [this](QWidget*, QWidget* now) { moved(now); });
        qApp->installEventFilter(this);
    }
    QPointer<FocusRing> ring;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (watched->isWidgetType()) pressedIn_ = static_cast<QWidget*>(watched)->window();
            break;
        case QEvent::KeyPress:
            pressedIn_ = nullptr;
            break;
        case QEvent::Hide:
            if (watched == pressedIn_) pressedIn_ = nullptr;
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void moved(QWidget* now) {
        const bool ours = now && now->property(radiusProperty).isValid();
        // The mouse moved the focus: a press on the control itself, or one on a button in the
        // same window that then gave the focus away ("Remind me" turning disabled). A press
        // elsewhere (the tray icon that opened the window) did not, nor did a key since.
        const bool byMouse = now && ((QGuiApplication::mouseButtons() != Qt::NoButton &&
                                      now->rect().contains(now->mapFromGlobal(QCursor::pos()))) ||
                                     (pressedIn_ && pressedIn_ == now->window()));
        if (!ours || byMouse) {
            if (ring) ring->surround(nullptr);
            return;
        }
        // The ring lives in the control's window, so it may draw outside the control's parent.
        if (!ring || ring->parentWidget() != now->window()) {
            delete ring;
            ring = new FocusRing(now->window());
        }
        ring->surround(now);
    }

    QPointer<QWidget> pressedIn_; // the window of the last mouse press, until a key
};

namespace {

QPointer<FocusFollower>& follower() {
    static QPointer<FocusFollower> instance;
    return instance;
}

} // namespace

void FocusRing::mark(QWidget& control, double radius) {
    control.setProperty(radiusProperty, radius);
}

void FocusRing::follow() {
    if (!follower()) follower() = new FocusFollower(qApp);
}

QColor FocusRing::colour() {
    // A raspberry of middle lightness: 3.5:1 against the cream and the paper around a control
    // and against the ink outline beside it (no one colour does much better against both).
    return QColor(0xE4, 0x46, 0x7F);
}

FocusRing* FocusRing::shown() {
    FocusRing* ring = follower() ? follower()->ring.data() : nullptr;
    return ring && ring->isVisible() ? ring : nullptr;
}

FocusRing::FocusRing(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRing::surround(QWidget* target) {
    if (target_) target_->removeEventFilter(this);
    target_ = target;
    if (!target_) {
        hide();
        return;
    }
    target_->installEventFilter(this);
    place();
}

void FocusRing::place() {
    if (!target_ || !target_->isVisible() || !target_->hasFocus()) {
        hide();
        return;
    }
    const QPoint origin = target_->mapTo(parentWidget(), QPoint(0, 0));
    setGeometry(QRect(origin, target_->size()).adjusted(-margin, -margin, margin, margin));
    show();
    raise();
    update();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::FocusOut:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*) {
    if (!target_) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(line / 2, line / 2, -line / 2, -line / 2);
    const double wanted = target_->property(radiusProperty).toDouble();
    const double radius = std::min(wanted < 0 ? r.height() / 2 : wanted + margin, r.height() / 2);
    p.setPen(QPen(colour(), line));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, radius, radius);
}
