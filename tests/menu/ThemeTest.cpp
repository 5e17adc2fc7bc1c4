#include "kit/Theme.h"

#include <gtest/gtest.h>

// The palette is defined by fractions; the hex column is what designers and the art check by.
TEST(Theme, ColoursMatchTheirHexReference) {
    const struct {
        const QColor& colour;
        const char* hex;
        int alpha;
    } table[] = {
        {Theme::ink(), "#3b2924", 255},   {Theme::inkSoft(), "#3b2924", 158},
        {Theme::cream(), "#fff4ea", 255}, {Theme::paper(), "#fffdf9", 255},
        {Theme::pink(), "#f69eb9", 255},  {Theme::blush(), "#ffe0e8", 255},
        {Theme::sky(), "#c7e6f0", 255},   {Theme::mint(), "#8fd4a6", 255},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.colour.name(), QString(row.hex));
        EXPECT_EQ(row.colour.alpha(), row.alpha) << row.hex;
    }
    EXPECT_NEAR(Theme::inkSoft().alphaF(), 0.62, 1e-4);
}
