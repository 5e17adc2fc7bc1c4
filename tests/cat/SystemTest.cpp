#include "CatHarness.h"
#include "base/Log.h"
#include "frames/BedClip.h"
#include "strings/Strings.h"

using K = Activity::Kind;

namespace {

class SystemTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(300, {.bed = true});
        input.any = 0.5; // a user at the keyboard: the cat does not doze off on its own
    }
    // The clip the situation asks for in bed.
    std::optional<int> mood() { return cat->bedLife().moodClip(now(), cat->bedSituation()); }
    // One poll a second, as the frame step does it.
    void polls(int n) {
        for (int i = 0; i < n; ++i) {
            tickAfter(1.01);
            probe().settle(300);
        }
    }
};

TEST_F(SystemTest, TheCallSignalMustHoldThreeSecondsToStartAndFiveToEnd) {
    LogCapture log;
    QLoggingCategory::setFilterRules(QStringLiteral("app.purrlox.Purrlox.app.debug=true"));
    devices.camera = true;
    polls(3); // seen at 0, 1, 2 s
    devices.camera = false;
    polls(1);
    EXPECT_FALSE(cat->systemSignals().inCall()) << "2 s of camera are no call";
    EXPECT_FALSE(cat->systemSignals().callChanging());

    devices.camera = true;
    const int asked = devices.microphoneAsked;
    polls(4); // 0 … 3 s
    EXPECT_TRUE(cat->systemSignals().inCall());
    EXPECT_EQ(devices.microphoneAsked, asked)
        << "the microphone is not asked while the camera runs";
    EXPECT_EQ(log.messages().filter("call started").size(), 1);

    devices.camera = false;
    devices.microphone = true; // the camera goes off, the microphone keeps the call
    polls(8);
    EXPECT_TRUE(cat->systemSignals().inCall());
    devices.microphone = false;
    polls(5); // 0 … 4 s
    EXPECT_TRUE(cat->systemSignals().inCall());
    polls(1);
    EXPECT_FALSE(cat->systemSignals().inCall());
    EXPECT_EQ(log.messages().filter("call ended").size(), 1);
    QLoggingCategory::setFilterRules(QString());
}

TEST_F(SystemTest, TypingAndMusicFollowThePoll) {
    input.key = 0.5;
    polls(1);
    ASSERT_TRUE(cat->systemSignals().typingSince());
    const double since = *cat->systemSignals().typingSince();
    input.key = 0.2;
    polls(1);
    EXPECT_EQ(cat->systemSignals().typingSince(), since) << "typing goes on";
    input.key = 1.5;
    polls(1);
    EXPECT_EQ(cat->systemSignals().typingSince(), since) << "a 1.5-s pause keeps it";
    EXPECT_EQ(mood(), CatSprite::BedClip::bedClip(u"bed_laptop"));
    input.key = 2.5;
    polls(1);
    EXPECT_EQ(cat->systemSignals().typingSince(), std::nullopt) << "a 2.5-s pause clears it";
    EXPECT_EQ(mood(), std::nullopt);

    devices.music = true;
    polls(1);
    EXPECT_TRUE(cat->systemSignals().musicPlaying());
    EXPECT_EQ(mood(), CatSprite::BedClip::bedClip(u"bed_music"));
    devices.music = false;
    polls(1);
    EXPECT_FALSE(cat->systemSignals().musicPlaying());
}

TEST_F(SystemTest, FocusPhasesAndBreakNews) {
    const FocusPhase& phase = cat->focusPhase();
    cat->setPomodoro(true, std::nullopt);
    EXPECT_TRUE(phase.focusing());
    tickAfter(1);
    EXPECT_EQ(cat->state.caption(), S().backToWork());
    cat->setPomodoro(false, std::nullopt); // work stopped at once: the notice goes with it
    tickAfter(0.1);
    EXPECT_EQ(cat->state.caption(), std::nullopt);
    cat->setPomodoro(true, std::nullopt);
    tickAfter(1);
    cat->setPomodoro(true, std::nullopt); // still working: the notice is not renewed
    tickAfter(2.9);
    EXPECT_EQ(cat->state.caption(), S().backToWork());
    tickAfter(0.2);
    EXPECT_EQ(cat->state.caption(), std::nullopt) << "four seconds after work began";

    cat->setPomodoro(false, now() + 300);
    EXPECT_FALSE(phase.focusing());
    EXPECT_TRUE(phase.hasNews());
    EXPECT_TRUE(cat->snapshot().breakUntil.has_value());
    probe().arrive(Arrival::announce(), now());
    cat->setPomodoro(false, now() + 250);
    EXPECT_FALSE(phase.hasNews()) << "a break reported twice is news once";
    EXPECT_DOUBLE_EQ(*phase.breakUntil(), now() + 250);

    // The break ends, once announced and once before: its bed time and news go with it.
    ASSERT_TRUE(phase.breakBedAt().has_value());
    cat->setPomodoro(false, std::nullopt);
    EXPECT_EQ(phase.breakBedAt(), std::nullopt);
    EXPECT_EQ(phase.breakUntil(), std::nullopt);
    cat->setPomodoro(false, now() + 300);
    cat->setPomodoro(false, std::nullopt);
    EXPECT_FALSE(phase.hasNews());
}

TEST_F(SystemTest, TheBreakIsAnnouncedThenSpentInBedWithThePhone) {
    pointer.at = QPointF(900, 500);
    const double until = now() + 60;
    cat->setPomodoro(false, until);
    tickAfter(0.02);
    ASSERT_EQ(kind(), K::walking);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Walking>()->to, 900);
    for (int i = 0; i < 2000 && kind() == K::walking; ++i)
        tickAfter(0.02);
    ASSERT_EQ(kind(), K::waving);
    EXPECT_NEAR(*cat->focusPhase().breakBedAt(), now() + (until - now()) / 3, 0.01)
        << "bed after a third of what is left";
    EXPECT_FALSE(cat->focusPhase().hasNews());

    // At its bed time the cat walks to bed, naps there and plays with its phone.
    clock.advance(*cat->focusPhase().breakBedAt() - now());
    tickAfter(3);
    tickAfter(0.02);
    ASSERT_EQ(kind(), K::walking);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Walking>()->then.kind, Arrival::Kind::bed);
    EXPECT_TRUE(cat->bedLife().callNap());
    for (int i = 0; i < 3000 && !cat->snapshot().lying; ++i)
        tickAfter(0.02);
    ASSERT_TRUE(cat->snapshot().lying);
    tickAfter(0.02);
    tickAfter(0.02);
    EXPECT_EQ(probe().activity().as<activity::InBed>()->clip,
              CatSprite::BedClip::bedClip(u"bed_phone_in"));

    // Work starts: the phone goes away and the laptop comes out.
    cat->setPomodoro(true, std::nullopt);
    for (int i = 0; i < 1000 && probe().activity().as<activity::InBed>() &&
                    probe().activity().as<activity::InBed>()->clip !=
                        CatSprite::BedClip::bedClip(u"bed_laptop");
         ++i)
        tickAfter(0.02);
    EXPECT_TRUE(cat->snapshot().lying);
    EXPECT_EQ(cat->bedLife().hold(), CatSprite::Hold::nothing);
    ASSERT_TRUE(probe().activity().as<activity::InBed>());
    EXPECT_EQ(probe().activity().as<activity::InBed>()->clip,
              CatSprite::BedClip::bedClip(u"bed_laptop"));
}

TEST_F(SystemTest, SleepAndWake) {
    ASSERT_TRUE(devices.asleep && devices.awake);
    devices.awake(); // not asleep: nothing
    EXPECT_EQ(kind(), K::idle);

    devices.asleep();
    EXPECT_TRUE(cat->systemSignals().asleep());
    EXPECT_EQ(kind(), K::sleeping);
    devices.awake();
    EXPECT_EQ(kind(), K::yawning);
    EXPECT_FALSE(cat->systemSignals().asleep());

    // In bed the cat keeps lying through the night and yawns there in the morning.
    dropIntoBed();
    devices.asleep();
    EXPECT_EQ(kind(), K::inBed);
    devices.awake();
    EXPECT_EQ(probe().activity().as<activity::InBed>()->clip,
              CatSprite::BedClip::bedClip(u"bed_yawn"));
    EXPECT_EQ(cat->bedClipPlayer().repeats(), 0);

    // A climbing cat is not put to sleep.
    ASSERT_TRUE(cat->pickUp(QPointF(900, 400))); // out of bed
    probe().start(Activity::falling(0), now());
    devices.asleep();
    EXPECT_EQ(kind(), K::falling);
}

} // namespace
