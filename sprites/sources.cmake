target_sources(purrlox_core PRIVATE
  sprites/CatSprite.cpp
  sprites/SpriteGeometry.cpp
  sprites/BedClip.cpp)
target_sources(purrlox_gui PRIVATE
  sprites/SpriteImages.cpp)
