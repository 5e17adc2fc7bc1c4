# The user's switch and the small interface the app model holds live in the core; the updater
# itself is a library of its own, so the core and everything headless stay QtCore only.
target_sources(purrlox_core PRIVATE
  updates/UpdateChecks.cpp)
if(PURRLOX_SELF_UPDATE)
  add_library(purrlox_updates STATIC
    updates/ReleaseArchive.cpp
    updates/UpdateDownload.cpp
    updates/UpdateSchedule.cpp
    updates/UpdateStage.cpp
    updates/UpdateSwap.cpp
    updates/UpdateVerify.cpp
    updates/Updater.cpp
    ${PURRLOX_UPDATE_KEY_SOURCE})
  target_link_libraries(purrlox_updates PUBLIC purrlox_core
                        PRIVATE Qt6::Network PkgConfig::ARCHIVE purrlox_signing purrlox_warnings)
endif()
