target_sources(purrlox_gui PRIVATE
  menu/Theme.cpp
  menu/Fonts.cpp
  menu/ChunkyButton.cpp
  menu/QuietButton.cpp
  menu/CuteToggle.cpp
  menu/Card.cpp
  menu/FieldCard.cpp
  menu/Flow.cpp
  menu/TextLine.cpp
  menu/BackButton.cpp)
