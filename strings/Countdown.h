#pragma once

#include <QString>

// The countdown text of the pomodoro, the tray and the cat's captions: seconds rounded up, as
// minutes:seconds ("25:00", "4:59"), never wrapping into hours ("90:00").
QString countdown(double seconds);
