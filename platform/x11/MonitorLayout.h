#pragma once

#include "platform/Screens.h"
#include "platform/x11/ScreenSpace.h"
#include "platform/x11/WorkArea.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

// Qt's screens and what the window manager and the docks reserve on them, made into the
// monitors the engine sees: root pixels in, y-up points out. No X or Qt GUI calls here.
namespace MonitorLayout {

// One of Qt's screens, in root pixels.
struct Output {
    QString name;
    QRect pixels;
    double refreshRate = 60;
    double pixelRatio = 1;
    bool primary = false;

    friend bool operator==(const Output&, const Output&) = default;
};

// What the root window and the docks say is taken, read once for all monitors.
struct Reserved {
    QSize root;
    std::vector<QRect> gtk;              // _GTK_WORKAREAS_D<current desktop>
    bool clients = false;                // a client list was read, so the docks are known
    std::vector<WorkArea::Strut> struts; // the docks'
    QRect net;                           // _NET_WORKAREA of the current desktop, if set
};

enum class Source { gtk, struts, net, whole };

struct Area {
    QRect pixels;
    Source source = Source::whole;
    std::vector<QRect> rejected; // what a source gave that no dock could leave (see plausible)
};

// Docks take a band along an edge, never most of the screen: an area under a quarter of the
// monitor either way is a mistake (or mischief).
bool plausible(const QRect& area, const QRect& monitor);

// One monitor's work area: GTK's area on it; else the monitor minus the docks' bands that reach
// it; else _NET_WORKAREA, which spans every monitor and so only serves alone; else all of it.
Area workArea(const QRect& monitor, const Reserved& reserved, int monitorCount);

// The monitors in y-up points, the primary first. work: each output's work area in root
// pixels, in the outputs' order (the whole output where it is missing).
std::vector<Monitor> monitors(const std::vector<Output>& outputs, const std::vector<QRect>& work,
                              const ScreenSpace& space);

} // namespace MonitorLayout
