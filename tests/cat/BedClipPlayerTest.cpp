#include "cat/BedClipPlayer.h"

#include "fakes/Fakes.h"
#include "fakes/OpaqueSprites.h"
#include "frames/BedClip.h"

#include <gtest/gtest.h>
#include <random>

using Clip = CatSprite::BedClip;

namespace {

int clip(const char* name) {
    return Clip::bedClip(QString::fromLatin1(name));
}

class BedClipPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override { installOpaqueSprites(); }
    FakeRandom random;
    BedClipPlayer player{random};
};

TEST_F(BedClipPlayerTest, ClipsPlayIntroBodyRepeatsAndOutro) {
    const int doze = clip("bed_doze"); // intro 50, body 36 × 8, outro 34
    const Clip& c = Clip::bedClips()[std::size_t(doze)];
    player.play(doze, false);
    EXPECT_EQ(player.repeats(), 8);
    EXPECT_EQ(player.pose(0), c.poses.front().sprite);
    EXPECT_EQ(player.pose(50), c.poses[21].sprite);
    EXPECT_EQ(player.pose(50 + 36 * 7 + 35), c.poses[37].sprite);
    EXPECT_EQ(player.pose(50 + 36 * 8), c.poses[38].sprite);
    EXPECT_EQ(player.pose(50 + 36 * 8 + 33), c.poses.back().sprite);
    EXPECT_EQ(player.pose(50 + 36 * 8 + 34), std::nullopt);

    // Wrapping up inside the intro skips the body; inside a pass finishes it; never longer.
    player.wrapUp(1.0); // f = 24
    EXPECT_EQ(player.repeats(), 0);
    EXPECT_EQ(player.pose(50), c.poses[38].sprite);
    player.play(doze, true);
    player.wrapUp((50 + 36 * 2 + 5) / 24.0);
    EXPECT_EQ(player.repeats(), 3);
    player.wrapUp((50 + 36 * 5) / 24.0);
    EXPECT_EQ(player.repeats(), 3);
}

TEST_F(BedClipPlayerTest, PhoneLoopsReactNowAndThenNeverTwiceRunning) {
    // Over many loops: a reaction never follows a reaction, never the same one twice running,
    // and reactions do come.
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> unit(0, 1);
    std::optional<int> previous;
    std::optional<int> previousReaction;
    int reactions = 0;
    for (int i = 0; i < 400; ++i) {
        for (int k = 0; k < 2; ++k)
            random.fractions.push_back(unit(gen));
        const int loop = player.nextPhoneLoop();
        const Clip& c = Clip::bedClips()[std::size_t(loop)];
        ASSERT_EQ(c.from, CatSprite::Hold::phone);
        ASSERT_EQ(c.to, CatSprite::Hold::phone);
        if (c.reaction) {
            ++reactions;
            ASSERT_TRUE(previous);
            EXPECT_FALSE(Clip::bedClips()[std::size_t(*previous)].reaction) << i;
            EXPECT_NE(previousReaction, loop) << i;
            previousReaction = loop;
        }
        previous = loop;
        random.fractions.clear();
    }
    EXPECT_GT(reactions, 40);
    EXPECT_LT(reactions, 120);
}

} // namespace
