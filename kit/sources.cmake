target_sources(purrlox_gui PRIVATE
  kit/Theme.cpp
  kit/Fonts.cpp
  kit/ChunkyButton.cpp
  kit/QuietButton.cpp
  kit/CuteToggle.cpp
  kit/Card.cpp
  kit/FieldCard.cpp
  kit/Flow.cpp
  kit/TextLine.cpp
  kit/FocusRing.cpp
  kit/Accessibility.cpp
  kit/BackButton.cpp
  kit/ScreenHeader.cpp
  kit/LinkCard.cpp
  kit/WeekBars.cpp
  kit/SpriteImages.cpp)
