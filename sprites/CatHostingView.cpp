#include "sprites/CatHostingView.h"

#include "sprites/CatView.h"

#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

CatHostingView::CatHostingView(CatView* root, QWidget* parent) : QWidget(parent), root_(root) {
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(root);
    // The hosting logic sees the root view's events before the view's own tap handling.
    root->installEventFilter(this);
}

QRectF CatHostingView::catRect() const {
    return QRectF(width() / 2.0 + catOffset - catSize.width() / 2, height() - catSize.height(),
                  catSize.width(), catSize.height());
}

void CatHostingView::pressed(QPointF local, QPointF global) {
    if (!catRect().contains(local)) return;
    pressedAt_ = global;
    draggingBed_ = onGrabBed(global);
}

void CatHostingView::dragged(QPointF global) {
    if (!pressedAt_) return;
    if (draggingBed_) {
        onMoveBed(global);
        return;
    }
    if (!carrying_) {
        const QPointF d = global - *pressedAt_;
        if (std::hypot(d.x(), d.y()) <= pickUpDistance) return;
        carrying_ = onPickUp(*pressedAt_);
        if (!carrying_) return;
        QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    }
    onCarry(global);
}

void CatHostingView::released() {
    pressedAt_.reset();
    if (draggingBed_) {
        draggingBed_ = false;
        onPlaceBed();
    }
    if (carrying_) {
        carrying_ = false;
        QGuiApplication::restoreOverrideCursor();
        onDrop();
    }
}

void CatHostingView::moved(double dx) {
    onStroke(dx);
}

bool CatHostingView::dragEntered() {
    mouthOpen_ = onDragHover(true);
    return mouthOpen_;
}

void CatHostingView::dragExited() {
    mouthOpen_ = false;
    onDragHover(false);
}

bool CatHostingView::performDrop(const QMimeData* data) {
    dragExited();
    QList<QUrl> files;
    if (data && data->hasUrls()) {
        // Only files can be eaten; links to anything else are left out.
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) files.append(url);
    }
    return onDropFiles(files);
}

bool CatHostingView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != root_) return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: { // the second press of a quick double click
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton)
            pressed(root_->mapTo(this, e->position()), toPoints(e->globalPosition()));
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const double x = e->globalPosition().x();
        if (e->buttons() == Qt::NoButton) {
            if (lastX_) moved(x - *lastX_);
        } else {
            dragged(toPoints(e->globalPosition()));
        }
        lastX_ = x;
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) released();
        break;
    case QEvent::Leave:
        lastX_.reset();
        break;
    default:
        break;
    }
    return false;
}

namespace {

bool holdsFiles(const QMimeData* data) {
    if (!data || !data->hasUrls()) return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
}

} // namespace

void CatHostingView::dragEnterEvent(QDragEnterEvent* event) {
    // Only files are food; anything else is refused before the cat even looks.
    if (!holdsFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    // Every file drag is let in, whatever the cat is doing: a source drops only on a target that
    // said yes, so a busy cat's no would leave the drop unsent, even once the cat is free again.
    // The drop itself gets the answer: eaten, or refused while the cat cannot eat.
    dragEntered();
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CatHostingView::dragMoveEvent(QDragMoveEvent* event) {
    if (!mouthOpen_) dragEntered(); // the cat may have come free (landed, closed its letter)
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void CatHostingView::dragLeaveEvent(QDragLeaveEvent* event) {
    dragExited();
    event->accept();
}

void CatHostingView::dropEvent(QDropEvent* event) {
    // The source learns the outcome: a move reported as accepted lets a file manager drop its
    // own copy, so a drop that ate nothing must go back refused.
    if (performDrop(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
    }
}
