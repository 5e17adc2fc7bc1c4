#pragma once

#include <QRect>
#include <cstddef>
#include <cstdint>
#include <vector>

// Frame arithmetic over what clients and managers publish, which may be anything: no X calls,
// no overflow whatever the values.
namespace WindowFrame {

struct Outer {
    QRect frame;                 // root pixels
    bool extentsIgnored = false; // an extents property did not fit the window and was dropped
};

// The outer frame of a client whose top-left (outside its border) is at x, y: its rectangle
// grown by the manager's decoration (_NET_FRAME_EXTENTS: left, right, top, bottom) and shrunk by
// client-side shadows (_GTK_FRAME_EXTENTS). Extents larger than the window itself are ignored.
Outer outer(int x, int y, int width, int height, int border,
            const std::vector<uint32_t>& frameExtents, const std::vector<uint32_t>& gtkExtents);

// Of a bottom-to-top stacking list, the front-most `cap` windows, front-most first.
std::vector<uint32_t> frontMost(const uint32_t* bottomToTop, std::size_t count, std::size_t cap);

} // namespace WindowFrame
