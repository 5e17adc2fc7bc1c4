#pragma once

#include <QImage>

// Turns a rendered frame into an 8-bit image with its own colour table. The app keeps 1015
// frames in memory; at one byte a pixel they fit in about 40 MB instead of 150.
namespace Palettiser {

// The most frequent colours (the flat fills, the outline, transparency) are kept exactly; the
// anti-aliased edge colours share the remaining entries by median cut. Every colour of the
// bottom exactRows rows is kept exactly (as far as the table allows), so frames that share a
// bed share its pixels.
// Deterministic.
QImage toIndexed(const QImage& frame, int exactRows, int colours = 256);

} // namespace Palettiser
