#include "kit/Theme.h"

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Relative luminance and contrast ratio as the WCAG define them.
double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A translucent colour as it shows on an opaque one.
QColor over(const QColor& top, const QColor& under) {
    const double a = top.alphaF();
    return QColor::fromRgbF(float(a * top.redF() + (1 - a) * under.redF()),
                            float(a * top.greenF() + (1 - a) * under.greenF()),
                            float(a * top.blueF() + (1 - a) * under.blueF()));
}

} // namespace

// Every card, bubble and button face carries ink text: it must stay readable on each of them,
// and the soft ink of secondary lines on the paper and cream they sit on.
TEST(Theme, TextInkReadsOnEverySurfaceColour) {
    const struct {
        const QColor& surface;
        const char* name;
    } surfaces[] = {{Theme::cream(), "cream"}, {Theme::paper(), "paper"}, {Theme::pink(), "pink"},
                    {Theme::blush(), "blush"}, {Theme::sky(), "sky"},     {Theme::mint(), "mint"}};
    for (const auto& s : surfaces) {
        EXPECT_EQ(s.surface.alpha(), 255) << s.name << " is a surface, not a tint";
        EXPECT_GE(contrast(Theme::ink(), s.surface), 4.5) << "ink on " << s.name;
    }
    for (const QColor& paper : {Theme::cream(), Theme::paper()})
        EXPECT_GE(contrast(over(Theme::inkSoft(), paper), paper), 3.0) << "soft ink";
    EXPECT_LT(Theme::inkSoft().alpha(), 255) << "soft ink is the ink, thinned";
}
