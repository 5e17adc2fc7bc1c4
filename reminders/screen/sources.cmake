target_sources(purrlox_gui PRIVATE
  reminders/screen/RemindersScreen.cpp)
