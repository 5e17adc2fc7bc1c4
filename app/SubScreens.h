#pragma once

#include "menu/MenuScreens.h"

class Clock;
class FocusLog;
class Reminders;

// The menu's sub-screens over the app's models. The statistics and reminders screens live in
// folders of their own beside the menu, so the menu is handed them from here.
MenuScreens subScreens(FocusLog& log, Reminders& reminders, Clock& clock);
