#pragma once

#include "platform/wayland/CompositorChannel.h"

#include <QString>
#include <optional>

// What Purrlox's KWin script sends, read as untrusted text: the window list (JSON with the
// outputs' union and each window's frame and state, front-most first) and the pointer.
namespace KWinWindows {

// Larger pushes are refused unread: a thousand windows fit in well under this.
constexpr qsizetype kMaxBytes = 1 << 20;

// Nullopt, with the reason in problem, when the text is not a list at all. A window whose
// entries have the wrong types comes back without an id, which the list leaves out.
std::optional<CompositorWindows> parse(const QString& text, QString* problem);

// "[x, y]" in KWin's logical pixels.
std::optional<QPointF> parsePointer(const QString& text);

} // namespace KWinWindows
