#pragma once

#include <QColor>

// The app's warm palette, sRGB. No dark variants: every window draws on the light look.
namespace Theme {

const QColor& ink();     // text, outlines, button bases
const QColor& inkSoft(); // secondary text, quiet buttons
const QColor& cream();   // menu window background
const QColor& paper();   // cards, fields, switch off
const QColor& pink();    // accent, start and update buttons, badges
const QColor& blush();   // activity chips
const QColor& sky();     // minute steppers
const QColor& mint();    // today card once the goal is met

} // namespace Theme
