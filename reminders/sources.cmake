target_sources(purrlox_core PRIVATE
  reminders/Reminders.cpp)
