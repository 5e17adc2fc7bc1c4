target_sources(purrlox_core PRIVATE
  stats/PdfPagination.cpp
  stats/StatsNumbers.cpp)
target_sources(purrlox_gui PRIVATE
  stats/Bar.cpp
  stats/Export.cpp
  stats/WeekBars.cpp)
