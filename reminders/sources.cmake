target_sources(purrlox_core PRIVATE
  reminders/ReminderEntry.cpp
  reminders/Reminders.cpp)
target_sources(purrlox_gui PRIVATE
  reminders/screen/RemindersScreen.cpp)
