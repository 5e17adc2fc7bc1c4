#pragma once

#include <QString>

// Whether an X display answers, asked before Qt opens it: Qt aborts the process when it
// cannot, and a user deserves one clear line instead.
namespace X11Display {

// `name` as in $DISPLAY; empty means $DISPLAY itself.
bool reachable(const QString& name);

} // namespace X11Display
