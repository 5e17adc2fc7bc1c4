#include "CatHarness.h"
#include "strings/Strings.h"

#include <functional>
#include <utility>

using K = Activity::Kind;

namespace {

class LettersTest : public CatTest {
  protected:
    void SetUp() override {
        CatTest::SetUp();
        enterSitting(500);
    }
    // Pointer movements 0.1 s apart.
    void strokes(std::initializer_list<double> dxs) {
        for (double dx : dxs) {
            clock.advance(0.1);
            cat->stroke(dx);
        }
    }
    static Letter letter(const QString& text, bool update = false) {
        Letter l;
        l.text = text;
        l.update = update;
        return l;
    }
    // Ticks in 50 ms steps while the activity lasts, at most a minute.
    void runWhile(K k) {
        for (int i = 0; i < 1200 && kind() == k; ++i)
            tickAfter(0.05);
    }
    // No input for a long while: the idle cat yawns and falls asleep.
    void fallAsleep() {
        input.any = 1000;
        tickAfter(0.05);
        runWhile(K::yawning);
        ASSERT_EQ(kind(), K::sleeping);
    }
};

TEST_F(LettersTest, StrokeGesturesNeedTravelAndTwoTurns) {
    struct Case {
        std::initializer_list<double> moves;
        bool pets;
    };
    const Case cases[] = {
        {{30, -30, 30}, true},
        {{15, -15, 15}, true},
        {{30, 30, 30}, false},  // no turn
        {{10, -10, 10}, false}, // 30 points only
        // Half-point jitter is no turn, however far the rest travels.
        {{20, -0.5, 20, -0.5, 20}, false},
    };
    for (const Case& c : cases) {
        probe().settle(500);
        clock.advance(5); // the earlier case's movements are past the 1.2 s window
        strokes(c.moves);
        EXPECT_EQ(kind() == K::petting, c.pets) << "moves starting " << *c.moves.begin();
    }

    // The window is 1.2 s: a movement older than that no longer counts.
    probe().settle(500);
    clock.advance(5);
    cat->stroke(30);
    clock.advance(0.7);
    cat->stroke(-30);
    clock.advance(0.8);
    cat->stroke(30);
    EXPECT_EQ(kind(), K::idle);

    // Walking and sleeping cats stop for it; a held or falling one does not.
    fallAsleep();
    strokes({30, -30, 30});
    EXPECT_EQ(kind(), K::petting);
    ASSERT_TRUE(cat->pickUp(QPointF(500, 60)));
    clock.advance(5);
    strokes({30, -30, 30});
    EXPECT_EQ(kind(), K::held);
    cat->drop();
    clock.advance(5);
    strokes({30, -30, 30});
    EXPECT_EQ(kind(), K::falling);
}

TEST_F(LettersTest, PettingGoesOnWithRealMovesOnlyAndEndsHappy) {
    strokes({30, -30, 30});
    ASSERT_EQ(kind(), K::petting);
    cat->tick();
    EXPECT_TRUE(cat->state.hearts());
    EXPECT_EQ(cat->state.sprite(), CatSprite::pet);
    // Moves of half a point keep nothing going.
    for (int i = 0; i < 3; ++i) {
        clock.advance(0.3);
        cat->stroke(0.5);
        cat->tick();
    }
    EXPECT_EQ(kind(), K::idle);
    EXPECT_DOUBLE_EQ(cat->holding().happyUntil(), now() + 0.8);
    EXPECT_TRUE(cat->state.hearts());
    tickAfter(0.81);
    EXPECT_FALSE(cat->state.hearts());

    // Real strokes keep it petting past 0.8 s, with the letter frame when carrying.
    carryLetter(letter("hi"));
    clock.advance(5);
    strokes({30, -30, 30});
    for (int i = 0; i < 10; ++i) {
        clock.advance(0.3);
        cat->stroke(i % 2 ? 3 : -3);
        cat->tick();
    }
    EXPECT_EQ(kind(), K::petting);
    EXPECT_EQ(cat->state.sprite(), CatSprite::petLetter);
}

TEST_F(LettersTest, StrokingInBedGivesHeartsWithoutLeavingIt) {
    probe().start(Activity::inBed(std::nullopt), now());
    strokes({30, -30});
    EXPECT_FALSE(cat->holding().happy(now())); // not a gesture yet
    strokes({30});
    EXPECT_DOUBLE_EQ(cat->holding().happyUntil(), now() + 0.8);
    // Once going, any real movement within 0.8 s goes on; jitter does not.
    clock.advance(0.5);
    cat->stroke(2);
    EXPECT_DOUBLE_EQ(cat->holding().happyUntil(), now() + 0.8);
    clock.advance(0.5);
    cat->stroke(0.4);
    EXPECT_DOUBLE_EQ(cat->holding().happyUntil(), now() - 0.5 + 0.8);
    EXPECT_EQ(kind(), K::inBed);
}

TEST_F(LettersTest, TapsInEachActivity) {
    // Idle without letters: hearts for 1.2 s.
    cat->tapCat();
    EXPECT_DOUBLE_EQ(cat->holding().happyUntil(), now() + 1.2);

    // Within the time after a drop the tap is the drop's own release.
    clock.advance(2); // the hearts are over
    ASSERT_TRUE(cat->pickUp(QPointF(500, 100)));
    cat->drop();
    probe().settle(500);
    clock.advance(0.29);
    cat->tapCat();
    EXPECT_FALSE(cat->holding().happy(now()));
    clock.advance(0.02);

    // A sleeping cat wakes.
    fallAsleep();
    cat->tapCat();
    ASSERT_EQ(kind(), K::yawning);
    EXPECT_EQ(cat->snapshot().activity.as<activity::Yawning>()->then, AfterYawn::wake);
    input.any = 0;

    // Busy cats ignore it.
    const QPointF paw(500, 60);
    const std::pair<K, std::function<void()>> busy[] = {
        {K::walking,
         [&] {
             cat->makeDue(CatOverlay::Due::wander);
             cat->tick();
         }},
        {K::held, [&] { cat->pickUp(paw); }},
        {K::falling,
         [&] {
             cat->pickUp(paw);
             cat->drop();
             clock.advance(0.31); // past the tap of the release
         }},
        {K::eating, [&] { cat->feed({QUrl::fromLocalFile(QStringLiteral("/home/u/a.txt"))}); }},
        {K::snacking,
         [&] {
             cat->makeDue(CatOverlay::Due::snack);
             cat->tick();
         }},
        {K::climbingUp, [&] { probe().start(Activity::climbingUp({}), now()); }},
    };
    for (const auto& [busyKind, busyNow] : busy) {
        probe().settle(500);
        busyNow();
        ASSERT_EQ(kind(), busyKind);
        const double happyUntil = cat->holding().happyUntil();
        cat->tapCat();
        EXPECT_EQ(kind(), busyKind);
        EXPECT_EQ(cat->holding().happyUntil(), happyUntil);
    }

    // Carrying a letter, a tap on an idle, petting or bedded cat opens it.
    carryLetter(letter("Water the plants"));
    const std::pair<K, std::function<void()>> calm[] = {
        {K::idle, [] {}},
        {K::petting,
         [&] {
             strokes({30, -30, 30});
         }},
        {K::inBed, [&] { probe().start(Activity::inBed(std::nullopt), now()); }},
    };
    for (const auto& [calmKind, calmNow] : calm) {
        probe().settle(500);
        calmNow();
        ASSERT_EQ(kind(), calmKind);
        cat->tapCat();
        EXPECT_EQ(kind(), K::reading);
        ASSERT_NE(cat->state.reading(), nullptr);
        EXPECT_EQ(cat->state.reading()->text, "Water the plants");
        // Reading: a further tap does nothing.
        cat->tapCat();
        EXPECT_EQ(kind(), K::reading);
        cat->state.setReading(std::nullopt);
    }
}

TEST_F(LettersTest, QueueAndUnreadAcrossDeliverAndMarkRead) {
    cat->markRead(); // nothing queued: nothing happens
    EXPECT_EQ(kind(), K::idle);

    cat->deliver(letter("one"));
    cat->deliver(letter("two"));
    EXPECT_EQ(cat->state.unread(), 2);
    EXPECT_FALSE(cat->snapshot().carrying);
    // The cat fetches them: off the nearer edge and back carrying.
    tickAfter(0.05);
    ASSERT_EQ(kind(), K::walking);
    runWhile(K::walking);
    tickAfter(0.05);
    EXPECT_TRUE(cat->snapshot().carrying);
    runWhile(K::walking);
    ASSERT_EQ(kind(), K::idle);
    EXPECT_EQ(cat->state.sprite(), CatSprite::sitLetter);

    // Picked up and dropped, it keeps the letter in its mouth.
    ASSERT_TRUE(cat->pickUp(QPointF(cat->snapshot().x, 400)));
    tickAfter(0.05);
    cat->drop();
    runWhile(K::falling);
    runWhile(K::landing);
    ASSERT_EQ(kind(), K::idle);
    EXPECT_LT(cat->snapshot().feetY, 100) << "fell to the floor";
    EXPECT_TRUE(cat->snapshot().carrying);

    cat->tapCat();
    ASSERT_EQ(kind(), K::reading);
    EXPECT_EQ(cat->state.reading()->text, "one");
    cat->markRead();
    EXPECT_EQ(cat->state.unread(), 1);
    EXPECT_EQ(cat->state.reading(), nullptr);
    EXPECT_TRUE(cat->snapshot().carrying);
    EXPECT_EQ(kind(), K::idle);
    EXPECT_DOUBLE_EQ(cat->holding().happyUntil(), now() + 1.2);

    cat->tapCat();
    EXPECT_EQ(cat->state.reading()->text, "two");
    cat->markRead();
    EXPECT_EQ(cat->state.unread(), 0);
    EXPECT_FALSE(cat->snapshot().carrying);
    // The plain frames are back once the happy face is over.
    tickAfter(1.3);
    EXPECT_EQ(cat->state.sprite(), CatSprite::sit);
    cat->tapCat(); // nothing left to open
    EXPECT_EQ(kind(), K::idle);
}

TEST_F(LettersTest, OnlyOneUpdateLetterWaits) {
    cat->deliver(letter("v2", true));
    cat->deliver(letter("v2", true));
    EXPECT_EQ(cat->state.unread(), 1);
    cat->deliver(letter("note"));
    cat->deliver(letter("v3", true));
    EXPECT_EQ(cat->state.unread(), 2);
    ASSERT_EQ(cat->letters().size(), 2u);
    EXPECT_EQ(cat->letters()[0].text, "v2") << "the first offer keeps its place";
    EXPECT_EQ(cat->letters()[1].text, "note");
}

TEST_F(LettersTest, ALetterForACatNotShownYetBringsItIn) {
    panel = nullptr;
    make();
    EXPECT_EQ(panel, nullptr);
    cat->deliver(letter("hello"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(cat->snapshot().carrying);
    EXPECT_EQ(kind(), K::walking);
}

} // namespace
