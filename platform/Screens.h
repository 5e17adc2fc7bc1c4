#pragma once

#include "platform/Geometry.h"

#include <QString>
#include <functional>
#include <vector>

// One monitor of the desktop, in y-up points (origin at the primary's bottom-left).
struct Monitor {
    QString name;            // the output's name (DP-1, eDP-1); may be empty
    Rect frame;              // the whole monitor
    Rect visibleFrame;       // its own work area: the panels and docks on it cut away
    double refreshRate = 60; // frames per second
    double pixelRatio = 1;   // device pixels per point, as Qt knows it
    bool primary = false;

    friend bool operator==(const Monitor&, const Monitor&) = default;
};

// The desktop's monitors. The primary one is the origin of the coordinates; the four single
// answers below are about it alone.
class Screens {
  public:
    virtual ~Screens() = default;
    virtual bool hasScreen() const = 0;
    virtual Rect frame() const = 0;         // zero rectangle when there is no screen
    virtual Rect visibleFrame() const = 0;  // zero rectangle when there is no screen
    virtual double refreshRate() const = 0; // frames per second

    // Every monitor, the primary first; empty when there is no screen. Read on a change
    // notice, never per frame. A backend that knows of one monitor only gives the primary.
    virtual std::vector<Monitor> monitors() const {
        if (!hasScreen()) return {};
        return {Monitor{QString(), frame(), visibleFrame(), refreshRate(), 1, true}};
    }

    // Set by the app. Called once for each change of any monitor, of the layout or of a work
    // area (changes that arrive together make one call), after the cached frames were dropped.
    std::function<void()> onChanged;
};
