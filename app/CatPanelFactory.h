#pragma once

#include "sprites/CatView.h"

#include <memory>

class CatOverlay;
class X11Panel;

// Builds the cat's panel: the X11 window, the hosting view with its input wired to the
// overlay, and the cat view drawing the overlay's state. Every callback holds the overlay
// weakly. The overlay owns the result.
std::unique_ptr<X11Panel> makeCatPanel(CatOverlay& overlay, CatView::Images images,
                                       CatView::Sizes sizes, double refreshRate);
