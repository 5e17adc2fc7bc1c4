#include "app/BedPanelFactory.h"

#include "cat/CatOverlay.h"
#include "platform/x11/X11Panel.h"
#include "sprites/BedView.h"

#include <QPointer>

std::unique_ptr<Panel> makeBedPanel(CatOverlay& overlay, const QImage& image, X11Panel** made) {
    auto panel = std::make_unique<X11Panel>();
    QPointer<CatOverlay> cat(&overlay);
    X11Panel* raw = panel.get();

    auto* view = new BedView(image);
    view->toPoints = &X11Panel::pointFromQtGlobal;
    view->origin = [raw] {
        const Rect f = raw->frame();
        return QPointF(f.x, f.y);
    };
    view->moveTo = [raw](QPointF origin) {
        Rect f = raw->frame();
        f.x = origin.x();
        f.y = origin.y();
        raw->setFrame(f);
    };
    view->onMoved = [cat] {
        if (cat) cat->bedPanelMoved();
    };
    panel->window()->setWindowTitle(QStringLiteral("Purrlox bed"));
    panel->setContent(view);
    const QSizeF size = image.deviceIndependentSize();
    panel->setFrame(Rect{0, 0, size.width(), size.height()});
    panel->setInputRegion(view->drawnRegion());
    if (made) *made = raw;
    return panel;
}
