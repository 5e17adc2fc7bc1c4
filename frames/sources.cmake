target_sources(purrlox_core PRIVATE
  frames/CatSprite.cpp
  frames/SpriteGeometry.cpp
  frames/BedClip.cpp)
