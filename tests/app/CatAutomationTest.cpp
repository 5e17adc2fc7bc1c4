#include "app/CatAutomation.h"

#include "PlainFrames.h"
#include "cat/CatOverlay.h"
#include "fakes/Fakes.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

struct CatAutomation : ::testing::Test {
    FakeScreens screens;
    FakeWindowList windowList;
    FakePointer pointer;
    FakeInputIdle inputIdle;
    FakeDevices devices;
    FakeTrash trash;
    FakeClock clock;
    FakeRandom random;
    TempDefaults defaults;
    FakePanel* panel = nullptr;
    std::unique_ptr<CatOverlay> cat;
    void SetUp() override {
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
                          auto p = std::make_unique<FakePanel>();
                          panel = p.get();
                          return p;
                      },
                      {}};
        s.frameClock = false;
        cat = std::make_unique<CatOverlay>(s);
        cat->enter(false);
    }
};

TEST_F(CatAutomation, StateReportsWhereTheCatIsAndWhatItDoes) {
    const QJsonObject reply = answerCatRequest(*cat, {{"cmd", "state"}});
    const auto snap = cat->snapshot();
    EXPECT_DOUBLE_EQ(reply.value("x").toDouble(), snap.x);
    EXPECT_DOUBLE_EQ(reply.value("feetY").toDouble(), snap.feetY);
    EXPECT_EQ(reply.value("kind").toString(), "walking");
    EXPECT_EQ(reply.value("platform").toDouble(), 0); // the floor
    EXPECT_EQ(reply.value("sprite").toString(), snap.sprite.rawValue());
    const QJsonArray frame = reply.value("panel").toArray();
    ASSERT_EQ(frame.size(), 4);
    EXPECT_DOUBLE_EQ(frame[0].toDouble(), panel->rect.x);
    EXPECT_DOUBLE_EQ(frame[3].toDouble(), panel->rect.height);
}

TEST_F(CatAutomation, DueMakesTheNamedTimerRunOutAndRefusesUnknownNames) {
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "due"}, {"what", "snack"}}).value("ok").toBool());
    // Once it has walked in, the cat snacks at once instead of waiting minutes for it.
    for (int i = 0; i < 60 * 60 && cat->snapshot().activity.description().startsWith("walking");
         ++i) {
        clock.advance(1.0 / 60);
        cat->tick();
    }
    clock.advance(1.0 / 60); // it sits down, then decides on the next frame
    cat->tick();
    EXPECT_EQ(answerCatRequest(*cat, {{"cmd", "state"}}).value("kind").toString(), "snacking");
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "due"}, {"what", "nap"}}).contains("error"));
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "fly"}}).contains("error"));
}

} // namespace
