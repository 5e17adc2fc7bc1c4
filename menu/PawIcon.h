#pragma once

#include <QIcon>
#include <QImage>
#include <optional>

// The tray picture: the paw alone, or (while a timer runs) a pink disc with the remaining
// whole minutes in fixed-width digits.
namespace PawIcon {

QImage draw(int size, std::optional<int> minutes, qreal pixelRatio = 1);
// The picture as an icon that draws itself for whatever box and pixel ratio it is painted
// at: square, centred in a box of another shape, never a scaled or cut copy of a fixed size.
QIcon icon(std::optional<int> minutes);
// Whole minutes shown for the seconds left: rounded up, so 24:01 shows 25 and 0:30 shows 1.
int shownMinutes(double secondsLeft);

} // namespace PawIcon
