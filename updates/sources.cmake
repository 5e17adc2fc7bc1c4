target_sources(purrlox_core PRIVATE
  updates/UpdateChecks.cpp)
if(PURRLOX_SELF_UPDATE)
  target_sources(purrlox_core PRIVATE
    updates/ReleaseArchive.cpp
    updates/Updater.cpp
    ${PURRLOX_UPDATE_KEY_SOURCE})
endif()
