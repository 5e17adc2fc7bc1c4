#pragma once

#include <QImage>
#include <optional>

// The tray picture: the paw alone, or (while a timer runs) the paw small in a corner with the
// remaining whole minutes large over it, in fixed-width digits.
namespace PawIcon {

QImage draw(int size, std::optional<int> minutes, qreal pixelRatio = 1);
// Whole minutes shown for the seconds left: rounded up, so 24:01 shows 25 and 0:30 shows 1.
int shownMinutes(double secondsLeft);

} // namespace PawIcon
