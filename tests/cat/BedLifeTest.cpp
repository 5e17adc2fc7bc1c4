#include "cat/BedLife.h"

#include "fakes/Fakes.h"
#include "frames/BedClip.h"

#include <gtest/gtest.h>

namespace {

using Situation = BedLife::Situation;

int clip(const char* name) {
    return CatSprite::BedClip::bedClip(QString::fromLatin1(name));
}

// The cat's life in its bed, as the overlay leaves it to answer.
TEST(BedLifeTest, NapsEndAsTheirCauseEndsAndAMoveOutForgetsThemAll) {
    TempSettingsStore defaults;
    BedLife life(*defaults);
    const double t = 1000;
    const Situation quiet;
    EXPECT_FALSE(life.belongsInBed(t, quiet));

    // A nap of its own that is over no longer keeps it, yet a call does, and the phone waits.
    life.getIn(t + 3);
    life.startNap(t - 1);
    EXPECT_TRUE(life.wantsUp(t, quiet));
    Situation call;
    call.inCall = true;
    call.musicPlaying = true;
    EXPECT_FALSE(life.wantsUp(t, call));
    EXPECT_FALSE(life.wantsPhone(t, call));
    EXPECT_EQ(life.moodClip(t, call), clip("bed_doze")) << "a call wins over music";

    // Gone to bed for the call: up when it ends, unless it lives there.
    life.getOut();
    EXPECT_EQ(life.napUntil(), std::nullopt);
    life.getIn(t + 3);
    life.napForCall();
    life.callEnded();
    EXPECT_TRUE(life.callNap()) << "the call nap of a cat that does not live in bed stays";
    EXPECT_TRUE(life.wantsUp(t, quiet));
    life.moveIn();
    EXPECT_FALSE(life.wantsUp(t, quiet));
    life.callEnded();
    EXPECT_FALSE(life.callNap());
    EXPECT_TRUE(BedLife(*defaults.reopened()).livesInBed()) << "saved for the next start";

    // Picked out of the bed: nothing of its bed life stays, and the next start knows it.
    life.startNap(t + 60);
    life.napForCall();
    life.clipEnded(CatSprite::Hold::phone, t + 5);
    life.moveOut();
    EXPECT_FALSE(life.lying());
    EXPECT_FALSE(life.livesInBed());
    EXPECT_EQ(life.napUntil(), std::nullopt);
    EXPECT_FALSE(life.callNap());
    EXPECT_EQ(life.hold(), CatSprite::Hold::nothing);
    EXPECT_FALSE(BedLife(*defaults.reopened()).livesInBed());
}

// Typing asks for the laptop only after two seconds; a break's bed time hushes the moods and
// hands the cat its phone.
TEST(BedLifeTest, MoodsAndThePhone) {
    TempSettingsStore defaults;
    BedLife life(*defaults);
    const double t = 1000;
    Situation s;
    s.typingSince = t - 1.9;
    s.musicPlaying = true;
    EXPECT_EQ(life.moodClip(t, s), clip("bed_music"));
    s.typingSince = t - 2;
    EXPECT_EQ(life.moodClip(t, s), clip("bed_laptop"));
    s.breakBedAt = t;
    EXPECT_EQ(life.moodClip(t, s), std::nullopt);
    EXPECT_TRUE(life.wantsPhone(t, s));
    s.breakBedAt.reset();

    life.phoneFor(t + 20);
    EXPECT_TRUE(life.wantsPhone(t + 19.9, s));
    EXPECT_FALSE(life.wantsPhone(t + 20, s));
    s.focusing = true;
    EXPECT_FALSE(life.wantsPhone(t, s));
    EXPECT_EQ(life.moodClip(t, s), clip("bed_laptop"));
    life.phoneDone();
    s.focusing = false;
    EXPECT_FALSE(life.wantsPhone(t, s));
}

} // namespace
