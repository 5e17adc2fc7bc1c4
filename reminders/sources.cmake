target_sources(purrlox_core PRIVATE
  reminders/ReminderEntry.cpp
  reminders/Reminders.cpp)
include(reminders/screen/sources.cmake)
