target_sources(purrlox_core PRIVATE
  strings/Countdown.cpp
  strings/Strings.cpp
  strings/English.cpp
  strings/Russian.cpp
  strings/Language.cpp
  strings/Lang.cpp
  strings/QtTexts.cpp)
