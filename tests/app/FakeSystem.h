#pragma once

#include "PlainFrames.h"
#include "cat/CatOverlay.h"
#include "fakes/Fakes.h"

// Every backend the cat needs, faked; the panel factory counts its panels and keeps the last.
struct FakeSystem {
    FakeScreens screens;
    FakeWindowList windowList;
    FakePointer pointer;
    FakeInputIdle inputIdle;
    FakeDevices devices;
    FakeTrash trash;
    FakeClock clock;
    FakeRandom random;
    TempSettingsStore defaults;
    int panels = 0;
    FakePanel* lastPanel = nullptr;

    CatServices services() {
        usePlainFrames();
        CatServices s{screens,
                      windowList,
                      pointer,
                      inputIdle,
                      devices,
                      trash,
                      clock,
                      random,
                      *defaults,
                      [this](CatOverlay&) -> std::unique_ptr<Panel> {
                          ++panels;
                          auto p = std::make_unique<FakePanel>();
                          lastPanel = p.get();
                          return p;
                      },
                      {}};
        s.frameClock = false;
        return s;
    }
};
