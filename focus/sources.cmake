target_sources(purrlox_core PRIVATE
  focus/FocusDayIndex.cpp
  focus/FocusLog.cpp
  focus/FocusLogStorage.cpp
  focus/FocusReports.cpp
  focus/FocusStats.cpp
  focus/Pomodoro.cpp
  focus/StretchCoding.cpp)
