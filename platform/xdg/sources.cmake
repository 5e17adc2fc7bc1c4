target_sources(purrlox_core PRIVATE
  platform/xdg/FreedesktopTrash.cpp
  platform/xdg/TrashFolder.cpp
  platform/xdg/XdgAutostart.cpp)
