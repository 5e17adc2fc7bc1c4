target_sources(purrlox_core PRIVATE
  stats/PdfPagination.cpp
  stats/StatsNumbers.cpp)
target_sources(purrlox_gui PRIVATE
  stats/Bar.cpp
  stats/DialogFiles.cpp
  stats/Export.cpp
  stats/GoalStepper.cpp
  stats/PdfBlocks.cpp
  stats/ShareRows.cpp
  stats/StatsCards.cpp
  stats/StatsPDF.cpp
  stats/StatsScreen.cpp
  stats/StoryCard.cpp)
