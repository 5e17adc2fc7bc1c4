#include "frames/CatSprite.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <numeric>
#include <unordered_set>

namespace {

// The catalogue's families as case-name stems with their frame counts (0: one unnumbered frame).
struct Family {
    QString caseName;
    int frames;
};

const std::vector<Family> families = {
    {"walk", 38},
    {"walkLetter", 44},
    {"sitLetter", 0},
    {"sitLetterBlink", 0},
    {"sit", 0},
    {"sitBlink", 0},
    {"happy", 0},
    {"pet", 0},
    {"petLetter", 0},
    {"snackGet", 6},
    {"snackEat", 6},
    {"sleep", 0},
    {"yawn", 0},
    {"wave", 2},
    {"fall", 0},
    {"land", 0},
    {"climb", 4},
    {"over", 4},
    {"heldSwing", 6},
    {"heldAngry", 4},
    {"gulp", 0},
    {"huntAmbush", 0},
    {"huntPounce", 0},
    {"huntCaught", 0},
    {"bedEmpty", 0},
    {"bedLook", 27},
    {"bedGroom", 44},
    {"bedSausage", 52},
    {"bedDoze", 46},
    {"bedKnead", 56},
    {"bedYawn", 26},
    {"bedMusic", 68},
    {"bedLaptop", 88},
    {"bedCocoa", 53},
    {"bedPhoneIn", 54},
    {"bedPhoneScroll", 50},
    {"bedPhoneOut", 61},
    {"bedPhoneWatch", 44},
    {"bedPhoneGiggle", 62},
    {"bedPhoneLike", 73},
    {"bedPhoneRoll", 81},
};

// The plain rule: words at the capitals, lower case, "_"; a frame number joins with one more "_".
QString byRule(const QString& caseName) {
    QString words = caseName;
    words.replace(QRegularExpression("([A-Z])"), "_\\1");
    return words.toLower();
}

QString expectedName(const Family& f, int frame) {
    if (f.caseName == "walk") return QString("walk_plain_video_%1").arg(frame);
    if (f.caseName == "walkLetter") return QString("walk_letter_video_%1").arg(frame);
    if (f.caseName == "over") return QString("climb_over_%1").arg(frame);
    if (f.caseName == "huntAmbush") return "hunt_1";
    if (f.caseName == "huntPounce") return "hunt_2";
    if (f.caseName == "huntCaught") return "hunt_3";
    return f.frames == 0 ? byRule(f.caseName) : byRule(f.caseName) + "_" + QString::number(frame);
}

} // namespace

TEST(CatSprite, everyImageNameFollowsTheNamingRuleAndItsExceptions) {
    const auto& all = CatSprite::allCases();
    ASSERT_EQ(all.size(), 1015u);
    size_t i = 0;
    for (const Family& f : families) {
        for (int frame = 1; frame <= std::max(1, f.frames); ++frame, ++i) {
            ASSERT_LT(i, all.size());
            EXPECT_EQ(all[i].index(), int(i));
            EXPECT_EQ(all[i].rawValue(), expectedName(f, frame)) << f.caseName.toStdString();
        }
    }
    EXPECT_EQ(i, all.size());

    EXPECT_EQ(CatSprite(CatSprite::bedPhoneIn12).rawValue(), "bed_phone_in_12");
    EXPECT_EQ(CatSprite(CatSprite::heldSwing3).rawValue(), "held_swing_3");
    EXPECT_EQ(CatSprite(CatSprite::sitLetterBlink).rawValue(), "sit_letter_blink");
    EXPECT_EQ(CatSprite(CatSprite::walk38).rawValue(), "walk_plain_video_38");
    EXPECT_EQ(CatSprite(CatSprite::bedPhoneRoll81).rawValue(), "bed_phone_roll_81");
}

TEST(CatSprite, namesAreUniqueLowerSnakeCaseAndLeadBack) {
    const QRegularExpression snake("^[a-z]+(_[a-z]+)*(_[1-9][0-9]*)?$");
    QSet<QString> seen;
    for (CatSprite sprite : CatSprite::allCases()) {
        const QString name = sprite.rawValue();
        EXPECT_TRUE(snake.match(name).hasMatch()) << name.toStdString();
        EXPECT_FALSE(seen.contains(name)) << name.toStdString();
        seen.insert(name);
        EXPECT_EQ(CatSprite::fromRawValue(name), sprite) << name.toStdString();
    }
}

TEST(CatSprite, fromRawValueMatchesExactlyTheImageNames) {
    EXPECT_EQ(CatSprite::fromRawValue(u"walk_1"), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u"walk_plain_video_1"), CatSprite::walk1);
    EXPECT_EQ(CatSprite::fromRawValue(u"hunt_2"), CatSprite::huntPounce);
    EXPECT_EQ(CatSprite::fromRawValue(u"climb_over_4"), CatSprite::over4);
    EXPECT_EQ(CatSprite::fromRawValue(u"over_4"), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u"hunt_ambush"), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u"Sit"), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u"sit "), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u""), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u"bed_look_0"), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u"bed_look_28"), std::nullopt);
    EXPECT_EQ(CatSprite::fromRawValue(u"bed_look_27"), CatSprite::bedLook27);
}

TEST(CatSprite, hashesAndOrdersByCase) {
    QSet<CatSprite> set{CatSprite::sit, CatSprite::sit, CatSprite::gulp};
    EXPECT_EQ(set.size(), 2);
    std::unordered_set<CatSprite> stdSet{CatSprite::walk1, CatSprite::walk2, CatSprite::walk1};
    EXPECT_EQ(stdSet.size(), 2u);
    EXPECT_LT(CatSprite(CatSprite::walk38), CatSprite(CatSprite::walkLetter1));
    EXPECT_NE(CatSprite(CatSprite::walk1), CatSprite::walk2);
}

TEST(CatSprite, fixedSequences) {
    const auto& walk = CatSprite::walkLoop();
    ASSERT_EQ(walk.size(), 38u);
    for (int i = 0; i < 38; ++i)
        EXPECT_EQ(walk[i].index(), CatSprite::walk1 + i);

    const auto& letter = CatSprite::walkLetterLoop();
    ASSERT_EQ(letter.size(), 44u);
    for (int i = 0; i < 44; ++i)
        EXPECT_EQ(letter[i].index(), CatSprite::walkLetter1 + i);

    EXPECT_EQ(CatSprite::climbLoop(),
              (std::vector<CatSprite>{CatSprite::climb1, CatSprite::climb2, CatSprite::climb3,
                                      CatSprite::climb4}));

    EXPECT_EQ(CatSprite::chewing(),
              (std::vector<CatSprite>{CatSprite::snackEat2, CatSprite::snackEat4}));
    int chewingFrames = 0;
    for (CatSprite sprite : CatSprite::allCases())
        chewingFrames += sprite.isChewing();
    EXPECT_EQ(chewingFrames, 2);
    EXPECT_TRUE(CatSprite(CatSprite::snackEat4).isChewing());
}

TEST(CatSprite, snackFetchesThenEatsInSixPointThreeSeconds) {
    const auto& snack = CatSprite::snack();
    ASSERT_EQ(snack.size(), 12u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(snack[i].sprite.index(), CatSprite::snackGet1 + i);
        EXPECT_EQ(snack[6 + i].sprite.index(), CatSprite::snackEat1 + i);
    }
    const double total = std::accumulate(snack.begin(), snack.end(), 0.0,
                                         [](double sum, const auto& s) { return sum + s.seconds; });
    EXPECT_NEAR(total, 6.3, 1e-9);
    EXPECT_DOUBLE_EQ(snack[4].seconds, 0.8);
    EXPECT_DOUBLE_EQ(snack[11].seconds, 1.0);
}
