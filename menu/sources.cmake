target_sources(purrlox_gui PRIVATE
  menu/MinutesRow.cpp
  menu/ActivityEditor.cpp
  menu/PomodoroCard.cpp
  menu/StatsLink.cpp
  menu/RemindersLink.cpp
  menu/MenuFooter.cpp
  menu/LanguageScreen.cpp
  menu/BubbleCard.cpp
  menu/MenuView.cpp
  menu/MenuWindow.cpp
  menu/PawIcon.cpp
  menu/TrayEntry.cpp
  menu/TrayMenu.cpp
  menu/MenuAutomation.cpp)
