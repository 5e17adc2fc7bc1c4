target_sources(purrlox_core PRIVATE
  app/IncomingLinks.cpp
  app/AppModel.cpp
  app/CatAutomation.cpp
  app/ModelWiring.cpp
  app/QuitOnSignals.cpp)
target_sources(purrlox_gui PRIVATE
  app/SingleInstance.cpp
  app/InstanceClient.cpp
  app/InstanceCommands.cpp
  app/SubScreens.cpp
  app/MenuBubbles.cpp
  app/Automation.cpp
  app/BedPanelFactory.cpp
  app/CatPanelFactory.cpp
  app/ExportAutomation.cpp
  app/WidgetAutomation.cpp
  app/FrameSweep.cpp
  app/PurrloxApp.cpp)
