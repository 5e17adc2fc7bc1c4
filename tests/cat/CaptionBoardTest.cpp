#include "cat/CaptionBoard.h"

#include "cat/CatState.h"
#include "strings/Countdown.h"
#include "strings/Strings.h"

#include <gtest/gtest.h>

namespace {

class CaptionBoardTest : public ::testing::Test {
  protected:
    CatState state;
    CaptionBoard board{state};
    double t = 1000;
    std::optional<double> breakUntil;
    void after(double seconds) {
        t += seconds;
        board.refresh(t, breakUntil);
    }
};

TEST_F(CaptionBoardTest, CheerThenBreakCountdownThenBackToWork) {
    breakUntil = t + 300;
    board.setCheer(QStringLiteral("Goal reached!"), t + 5);
    after(0);
    EXPECT_EQ(state.caption(), QStringLiteral("Goal reached!"));
    // The cheer ends during the break: the countdown from the next frame on.
    after(5.0);
    EXPECT_EQ(state.caption(), S().breakLeft(countdown(295)));
    after(0.5);
    EXPECT_EQ(state.caption(), S().breakLeft(QStringLiteral("4:55")));
    after(0.6);
    EXPECT_EQ(state.caption(), S().breakLeft(QStringLiteral("4:54")));
    // The break ends and work begins.
    breakUntil.reset();
    board.showBackToWork(t + 3);
    after(0.1);
    EXPECT_EQ(state.caption(), S().backToWork());
    after(3);
    EXPECT_EQ(state.caption(), std::nullopt);
    EXPECT_FALSE(board.busy(t)) << "a cheer long over keeps the frame clock awake";

    // A caption of other code is left alone by the timer.
    state.setCaption(QStringLiteral("mine"));
    after(0.1);
    EXPECT_EQ(state.caption(), QStringLiteral("mine"));
}

TEST_F(CaptionBoardTest, ANoticeStaysEightSecondsUnlessATimedCaptionComes) {
    board.notice(QStringLiteral("can't eat a.txt"), t);
    after(0);
    EXPECT_TRUE(board.showsNotice());
    after(7.9);
    EXPECT_EQ(state.caption(), QStringLiteral("can't eat a.txt"));
    EXPECT_FALSE(board.busy(t)) << "a notice alone lets the frame clock rest";
    after(0.2);
    EXPECT_EQ(state.caption(), std::nullopt);
    EXPECT_FALSE(board.showsNotice());

    board.notice(QStringLiteral("can't eat b.txt"), t);
    board.showBackToWork(t + 4);
    EXPECT_TRUE(board.busy(t));
    after(0.1);
    EXPECT_EQ(state.caption(), S().backToWork());
    EXPECT_FALSE(board.showsNotice()) << "the timed caption took the notice's place";
    board.clearBackToWork();
    after(0.1);
    EXPECT_EQ(state.caption(), std::nullopt);
}

} // namespace
