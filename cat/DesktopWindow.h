#pragma once

#include "platform/Geometry.h"

#include <QString>
#include <QtGlobal>

// A window as the cat sees it: the window server's number and its frame in y-up points.
// Two values are the same, unmoved window only when id and frame are both equal.
struct DesktopWindow {
    quint32 id = 0;
    Rect frame;

    friend bool operator==(const DesktopWindow&, const DesktopWindow&) = default;

    QString description() const;
};

// A closed horizontal range of a window's top edge that the cat can walk on.
struct Span {
    double lower = 0;
    double upper = 0;

    bool contains(double x) const { return lower <= x && x <= upper; }
    double width() const { return upper - lower; }
    friend bool operator==(const Span&, const Span&) = default;
};
