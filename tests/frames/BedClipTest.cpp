#include "frames/BedClip.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <numeric>

namespace {

using BedClip = CatSprite::BedClip;
using Hold = CatSprite::Hold;

int ticks(const std::vector<BedClip::Pose>& poses) {
    return std::accumulate(poses.begin(), poses.end(), 0,
                           [](int sum, const BedClip::Pose& p) { return sum + p.frames; });
}

const BedClip& named(const char* name) {
    return BedClip::bedClips().at(BedClip::bedClip(QString::fromLatin1(name)));
}

} // namespace

TEST(BedClip, tableHoldsEveryClipWithItsOwnFramesAndOnePassOfFiveSeconds) {
    const QStringList order{
        "bed_look",         "bed_groom",      "bed_sausage",      "bed_doze",
        "bed_knead",        "bed_yawn",       "bed_music",        "bed_laptop",
        "bed_cocoa",        "bed_phone_in",   "bed_phone_scroll", "bed_phone_watch",
        "bed_phone_giggle", "bed_phone_like", "bed_phone_roll",   "bed_phone_out"};
    const auto& clips = BedClip::bedClips();
    ASSERT_EQ(clips.size(), size_t(order.size()));
    for (size_t i = 0; i < clips.size(); ++i) {
        const BedClip& clip = clips[i];
        SCOPED_TRACE(clip.name.toStdString());
        EXPECT_EQ(clip.name, order[i]);
        EXPECT_EQ(BedClip::bedClip(clip.name), int(i));
        EXPECT_EQ(ticks(clip.poses), 120);
        // Pose k shows frame k of the clip's family, and the family has no frame beyond the clip.
        for (size_t k = 0; k < clip.poses.size(); ++k) {
            EXPECT_EQ(clip.poses[k].sprite.rawValue(), clip.name + "_" + QString::number(k + 1));
            EXPECT_GT(clip.poses[k].frames, 0);
        }
        EXPECT_EQ(CatSprite::fromRawValue(clip.name + "_" + QString::number(clip.poses.size() + 1)),
                  std::nullopt);
    }
}

TEST(BedClip, loopedClipsRepeatTheirBodyToFillTheirSeconds) {
    struct Expected {
        const char* name;
        int repeats, intro, body, outro;
    };
    for (const Expected& e :
         {Expected{"bed_doze", 8, 50, 36, 34}, Expected{"bed_music", 8, 42, 33, 45},
          Expected{"bed_laptop", 11, 51, 24, 45}, Expected{"bed_cocoa", 2, 47, 52, 73}}) {
        SCOPED_TRACE(e.name);
        const BedClip& clip = named(e.name);
        const auto parts = clip.parts();
        EXPECT_EQ(ticks(parts.intro), e.intro);
        EXPECT_EQ(ticks(parts.body), e.body);
        EXPECT_EQ(ticks(parts.outro), e.outro);
        EXPECT_EQ(clip.repeats(), e.repeats);
    }
    for (const BedClip& clip : BedClip::bedClips()) {
        if (clip.loop) continue;
        EXPECT_EQ(clip.repeats(), 0) << clip.name.toStdString();
        EXPECT_EQ(clip.parts().intro.size(), clip.poses.size());
    }
}

TEST(BedClip, clipWithoutLoopIsAllIntro) {
    const auto parts = named("bed_look").parts();
    EXPECT_EQ(parts.intro.size(), 27u);
    EXPECT_TRUE(parts.body.empty());
    EXPECT_TRUE(parts.outro.empty());
    EXPECT_EQ(named("bed_look").repeats(), 0);
}

TEST(BedClip, swingingLoopPlaysForwardsThenBackWithoutItsEnds) {
    const BedClip& cocoa = named("bed_cocoa");
    const auto parts = cocoa.parts();
    ASSERT_EQ(parts.intro.size(), 25u);
    ASSERT_EQ(parts.body.size(), 22u);
    ASSERT_EQ(parts.outro.size(), 28u);
    std::vector<int> body;
    for (const auto& pose : parts.body)
        body.push_back(pose.sprite.index() - CatSprite::bedCocoa1);
    std::vector<int> expected{25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35,
                              36, 35, 34, 33, 32, 31, 30, 29, 28, 27, 26};
    EXPECT_EQ(body, expected);
    EXPECT_EQ(parts.outro.front().sprite, CatSprite::bedCocoa26); // pose 25
    EXPECT_EQ(parts.outro.back().sprite, CatSprite::bedCocoa53);

    // A stretch of two poses has no inside to play backwards.
    BedClip shortSwing = cocoa;
    shortSwing.loop = std::pair(3, 4);
    const auto shortParts = shortSwing.parts();
    ASSERT_EQ(shortParts.body.size(), 2u);
    EXPECT_EQ(shortParts.body[0].sprite, CatSprite::bedCocoa4);
    EXPECT_EQ(shortParts.body[1].sprite, CatSprite::bedCocoa5);
    EXPECT_EQ(shortParts.outro.size(), 50u);
}

TEST(BedClip, loopAtTheStartAndTooShortSecondsStillPlayTheBodyOnce) {
    BedClip doze = named("bed_doze");
    doze.seconds = 1; // 24 ticks, less than intro and outro together
    EXPECT_EQ(doze.repeats(), 1);

    doze.loop = std::pair(0, 45);
    const auto parts = doze.parts();
    EXPECT_TRUE(parts.intro.empty());
    EXPECT_EQ(parts.body.size(), 46u);
    EXPECT_TRUE(parts.outro.empty());
    doze.seconds = 11.25; // 270 ticks over a body of 120: 2.25 rounds to 2
    EXPECT_EQ(doze.repeats(), 2);
    doze.seconds = 12.5; // 300 ticks: exactly 2.5 rounds away from zero
    EXPECT_EQ(doze.repeats(), 3);
}

TEST(BedClip, phoneClipsHandThePhoneOn) {
    EXPECT_EQ(named("bed_phone_in").from, Hold::nothing);
    EXPECT_EQ(named("bed_phone_in").to, Hold::phone);
    EXPECT_EQ(named("bed_phone_out").from, Hold::phone);
    EXPECT_EQ(named("bed_phone_out").to, Hold::nothing);
    EXPECT_DOUBLE_EQ(named("bed_phone_in").speed, 1.4);
    EXPECT_DOUBLE_EQ(named("bed_phone_out").speed, 1.4);
    int reactions = 0;
    for (const BedClip& clip : BedClip::bedClips()) {
        const bool phone = clip.name.startsWith("bed_phone_");
        const bool between = phone && clip.name != "bed_phone_in" && clip.name != "bed_phone_out";
        EXPECT_EQ(clip.from == Hold::phone, between || clip.name == "bed_phone_out");
        EXPECT_EQ(clip.to == Hold::phone, between || clip.name == "bed_phone_in");
        if (!phone) {
            EXPECT_DOUBLE_EQ(clip.speed, 1.0);
        }
        reactions += clip.reaction;
    }
    EXPECT_EQ(reactions, 3);
    EXPECT_TRUE(named("bed_phone_giggle").reaction);
    EXPECT_TRUE(named("bed_phone_roll").reaction);
}

TEST(BedClipDeathTest, unknownNameStopsTheApp) {
    EXPECT_DEATH(BedClip::bedClip(u"x"), "no bed clip x");
    EXPECT_DEATH(BedClip::bedClip(u"Bed_look"), "no bed clip Bed_look");
}
