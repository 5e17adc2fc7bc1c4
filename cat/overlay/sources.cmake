target_sources(purrlox_core PRIVATE
  cat/overlay/bed.cpp
  cat/overlay/bedclips.cpp
  cat/overlay/bedtrip.cpp
  cat/overlay/climbsteps.cpp
  cat/overlay/letters.cpp
  cat/overlay/panels.cpp
  cat/overlay/pickup.cpp
  cat/overlay/picture.cpp
  cat/overlay/rest.cpp
  cat/overlay/screens.cpp
  cat/overlay/spots.cpp
  cat/overlay/stalking.cpp
  cat/overlay/system.cpp)
