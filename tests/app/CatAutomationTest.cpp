#include "app/CatAutomation.h"

#include "FakeSystem.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"

#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

struct CatAutomation : ::testing::Test {
    FakeSystem system;
    FakePanel* panel = nullptr;
    std::unique_ptr<CatOverlay> cat;
    void SetUp() override {
        cat = std::make_unique<CatOverlay>(system.services());
        cat->enter(false);
        panel = system.lastPanel;
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

TEST_F(CatAutomation, StateTellsTheBedAndTheSignals) {
    QJsonObject reply = answerCatRequest(*cat, {{"cmd", "state"}});
    for (const char* key : {"lying", "inCall", "musicPlaying", "typing", "focusing"})
        EXPECT_EQ(reply.value(key), QJsonValue(false)) << key;
    EXPECT_EQ(reply.value("bedSpot").toArray().size(), 2);
    EXPECT_TRUE(reply.value("breakUntil").isNull());

    cat->setPomodoro(true, std::nullopt);
    EXPECT_EQ(answerCatRequest(*cat, {{"cmd", "state"}}).value("focusing"), QJsonValue(true));
    const double until = cat->now() + 300;
    cat->setPomodoro(false, until);
    system.inputIdle.key = 0.2;
    system.clock.advance(1.5);
    cat->tick();
    reply = answerCatRequest(*cat, {{"cmd", "state"}});
    EXPECT_EQ(reply.value("focusing"), QJsonValue(false));
    EXPECT_DOUBLE_EQ(reply.value("breakUntil").toDouble(), until);
    EXPECT_EQ(reply.value("typing"), QJsonValue(true));
}

TEST_F(CatAutomation, DueMakesTheNamedTimerRunOutAndRefusesUnknownNames) {
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "due"}, {"what", "snack"}}).value("ok").toBool());
    // Once it has walked in, the cat snacks at once instead of waiting minutes for it.
    for (int i = 0; i < 60 * 60 && cat->snapshot().activity.description().startsWith("walking");
         ++i) {
        system.clock.advance(1.0 / 60);
        cat->tick();
    }
    system.clock.advance(1.0 / 60); // it sits down, then decides on the next frame
    cat->tick();
    EXPECT_EQ(answerCatRequest(*cat, {{"cmd", "state"}}).value("kind").toString(), "snacking");
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "due"}, {"what", "nap"}}).contains("error"));
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "fly"}}).contains("error"));
}

} // namespace

TEST_F(CatAutomation, TopsListsTheWalkablePiecesOfEachPolledWindow) {
    // A wide back window whose top a front window covers in the middle, from 400 to 600.
    WindowInfo back;
    back.id = 7;
    back.frame = Rect{100, 300, 800, 200};
    WindowInfo front;
    front.id = 8;
    front.frame = Rect{400, 450, 200, 200};
    system.windowList.set({front, back});
    system.clock.advance(0.1);
    cat->tick();
    const QJsonArray windows = answerCatRequest(*cat, {{"cmd", "tops"}}).value("windows").toArray();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[0].toObject().value("id").toDouble(), 8); // front-most first
    const QJsonArray pieces = windows[1].toObject().value("pieces").toArray();
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0].toArray(), (QJsonArray{100, 400}));
    EXPECT_EQ(pieces[1].toArray(), (QJsonArray{600, 900}));
}

namespace {

TEST(StoreAutomation, BookSavesAStretchAndTheActivityBeforeItAnswers) {
    TempSettingsStore defaults;
    FakeClock clock;
    FocusLog log(*defaults, clock);
    Pomodoro pomodoro(*defaults, clock, log);
    const auto reply = answerStoreRequest(
        log, pomodoro, {{"cmd", "book"}, {"activity", "k001-0001"}, {"seconds", 60}});
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(reply->value("stretches").toInt(), 1);
    auto again = defaults.reopened();
    EXPECT_EQ(FocusLog(*again, clock).stretches().value(0).activity, "k001-0001");
    EXPECT_EQ(again->text("pomodoroActivity"), QString("k001-0001"));
    EXPECT_TRUE(answerStoreRequest(log, pomodoro, {{"cmd", "book"}})->contains("error"));
    EXPECT_FALSE(answerStoreRequest(log, pomodoro, {{"cmd", "state"}}).has_value());
}

TEST_F(CatAutomation, DeliverHandsALetterAndStateShowsTheLetterFields) {
    QJsonObject reply = answerCatRequest(*cat, {{"cmd", "state"}});
    EXPECT_EQ(reply.value("unread").toInt(), 0);
    EXPECT_FALSE(reply.value("carrying").toBool());
    EXPECT_TRUE(reply.value("reading").isNull());
    EXPECT_TRUE(reply.value("caption").isNull());
    EXPECT_FALSE(reply.value("hearts").toBool());
    EXPECT_TRUE(reply.value("eaten").isNull());

    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "deliver"}}).contains("error"));
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "deliver"}, {"text", 3}}).contains("error"));
    EXPECT_TRUE(answerCatRequest(*cat, {{"cmd", "deliver"}, {"text", "Stretch 🧘"}})
                    .value("ok")
                    .toBool());
    EXPECT_EQ(answerCatRequest(*cat, {{"cmd", "state"}}).value("unread").toInt(), 1);

    cat->state.setCaption(QStringLiteral("hi"));
    cat->state.setEaten(CatState::Eaten{{"a.txt", "b c.txt"}, {}});
    reply = answerCatRequest(*cat, {{"cmd", "state"}});
    EXPECT_EQ(reply.value("caption").toString(), "hi");
    EXPECT_EQ(reply.value("eaten").toArray(), (QJsonArray{"a.txt", "b c.txt"}));
}

} // namespace
