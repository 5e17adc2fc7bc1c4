#pragma once

#include "menu/MenuScreens.h"

#include <QImage>
#include <functional>

class Clock;
class Settings;
class FocusLog;
class LaunchAtLogin;
class Pomodoro;
class Reminders;

// What the menu window reads and drives: the application's models, and the two ways out of
// the process (quitting, and starting again after it has gone).
struct MenuModels {
    Pomodoro& pomodoro;
    FocusLog& focusLog;
    Reminders& reminders;
    LaunchAtLogin& launchAtLogin;
    Clock& clock;
    Settings& defaults; // where the language choice is stored
    QImage catPicture;  // the sitting cat of the header
    std::function<void()> quit;
    // Arranges a start of the app once this process has ended; false when it cannot.
    std::function<bool()> relaunch;
    // Whether this build updates itself: the footer then has the "Check for updates" switch.
    bool selfUpdate;
    // The statistics and reminders screens the main page links to.
    MenuScreens screens;
    // Whether a compositing manager runs right now (per-pixel alpha works): the window then
    // lies in a translucent margin that holds its drop shadow.
    std::function<bool()> composited = [] { return false; };
};
