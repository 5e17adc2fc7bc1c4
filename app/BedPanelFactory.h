#pragma once

#include <QImage>
#include <memory>

class CatOverlay;
class Panel;
class X11Panel;

// Builds the empty bed's panel: an X11 panel as large as the bed's image, taking the pointer on
// the bed only, whose drags move it and, on release, tell the overlay. The overlay owns the
// result; the X11 panel is also handed out so the cat's panel can be kept above it.
std::unique_ptr<Panel> makeBedPanel(CatOverlay& overlay, const QImage& image, X11Panel** made);
