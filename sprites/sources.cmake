target_sources(purrlox_gui PRIVATE
  sprites/CatView.cpp
  sprites/BubbleTransition.cpp
  sprites/CatHostingView.cpp
  sprites/BedView.cpp
  sprites/Bubble.cpp
  sprites/BubbleText.cpp
  sprites/LetterBubble.cpp
  sprites/ReportBody.cpp
  sprites/EatenBubble.cpp)
