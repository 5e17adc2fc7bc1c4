#include "app/CatPanelFactory.h"

#include "cat/CatOverlay.h"
#include "platform/x11/DragWatch.h"
#include "platform/x11/X11Panel.h"
#include "sprites/CatHostingView.h"

#include <QGuiApplication>
#include <QPointer>
#include <QRegion>
#include <QScreen>

std::unique_ptr<X11Panel> makeCatPanel(CatOverlay& overlay, CatView::Images images,
                                       CatView::Sizes sizes, double refreshRate) {
    auto panel = std::make_unique<X11Panel>();
    QPointer<CatOverlay> cat(&overlay);

    auto* view = new CatView(overlay.state, images);
    view->sizes = sizes;
    view->setFrameRate(refreshRate);
    // The view's own animations follow the primary screen's rate as it changes.
    const auto followRate = [view](QScreen* screen) {
        if (!screen) return;
        view->setFrameRate(screen->refreshRate());
        QObject::connect(screen, &QScreen::refreshRateChanged, view, [view, screen](qreal rate) {
            if (screen == QGuiApplication::primaryScreen()) view->setFrameRate(rate);
        });
    };
    followRate(QGuiApplication::primaryScreen());
    view->setFrameRate(refreshRate);
    QObject::connect(qGuiApp, &QGuiApplication::primaryScreenChanged, view, followRate);
    view->onTapCat = [cat] {
        if (cat) cat->tapCat();
    };
    view->onRead = [cat] {
        if (cat) cat->markRead();
    };
    view->onUpdate = [cat] {
        if (cat) cat->acceptUpdate();
    };

    auto* host = new CatHostingView(view);
    host->toPoints = &X11Panel::pointFromQtGlobal;
    host->onStroke = [cat](double dx) {
        if (cat) cat->stroke(dx);
    };
    host->onDragHover = [cat](bool hovering) { return cat && cat->onDragHover(hovering); };
    host->onDropFiles = [cat](const QList<QUrl>& files) { return cat && cat->feed(files); };
    host->onPickUp = [cat](QPointF at) { return cat && cat->pickUp(at); };
    host->onCarry = [cat](QPointF to) {
        if (cat) cat->onCarry(to);
    };
    host->onDrop = [cat] {
        if (cat) cat->drop();
    };
    host->onGrabBed = [cat](QPointF at) { return cat && cat->onGrabBed(at); };
    host->onMoveBed = [cat](QPointF to) {
        if (cat) cat->onMoveBed(to);
    };
    host->onPlaceBed = [cat] {
        if (cat) cat->placeBed();
    };

    // The hosting view's idea of where the cat stands follows the picture.
    const auto follow = [host, sizes, cat] {
        if (!cat) return;
        host->catSize = sizes(cat->state.sprite());
        host->catOffset = cat->state.catOffset();
    };
    // Once per frame, not on each of the frame's writes.
    QObject::connect(&overlay.state, &CatState::changed, host, [follow, cat] {
        if (cat && !cat->state.framing()) follow();
    });
    QObject::connect(&overlay.state, &CatState::frameEnded, host, follow);
    follow();

    // A closed bubble shrinks away inside the room the panel keeps for it.
    QObject::connect(view, &CatView::bubbleLeaving, &overlay, [cat](bool leaving) {
        if (cat) cat->setBubbleLeaving(leaving);
    });

    X11Panel* raw = panel.get();
    // The panel takes the pointer only where the cat is drawn; while a file drag is under way
    // its whole area does, so the drag's hover reaches the panel and stops a walking cat
    // before the pointer has caught up with it.
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    auto* drags = new DragWatch(x11 ? x11->connection() : nullptr);
    drags->setParent(host);
    const auto takeInput = [raw, view, host, drags] {
        raw->setInputRegion(drags->dragging() ? QRegion(host->rect()) : view->drawnRegion());
    };
    drags->onChange = takeInput;
    QObject::connect(view, &CatView::drawnChanged, raw, takeInput);
    view->present = [raw, view](const QList<int>& key, const std::function<void(QPainter&)>& paint,
                                const QRect& changed) {
        return raw->showFrame(view, key, paint, changed);
    };
    panel->setContent(host);
    panel->setInputRegion(view->drawnRegion());
    return panel;
}
