#include "cat/LetterQueue.h"

#include "cat/CatState.h"

#include <gtest/gtest.h>

namespace {

Letter note(const QString& text, bool update = false) {
    return Letter{text, std::nullopt, update};
}

class LetterQueueTest : public ::testing::Test {
  protected:
    CatState state;
    LetterQueue queue{state};
};

TEST_F(LetterQueueTest, OldestFirstAndTheMouthEmptiesWithTheLastLetter) {
    EXPECT_FALSE(queue.markRead()) << "nothing waits";
    ASSERT_TRUE(queue.deliver(note("one")));
    ASSERT_TRUE(queue.deliver(note("two")));
    EXPECT_EQ(state.unread(), 2);
    EXPECT_TRUE(queue.toFetch());
    EXPECT_FALSE(queue.open()) << "a letter not fetched yet cannot be opened";
    EXPECT_EQ(state.reading(), nullptr);

    queue.setCarrying(true);
    EXPECT_FALSE(queue.toFetch());
    ASSERT_TRUE(queue.open());
    ASSERT_NE(state.reading(), nullptr);
    EXPECT_EQ(state.reading()->text, "one");
    ASSERT_TRUE(queue.markRead());
    EXPECT_EQ(state.reading(), nullptr);
    EXPECT_EQ(state.unread(), 1);
    EXPECT_TRUE(queue.carried()) << "the next letter stays in the mouth";
    ASSERT_TRUE(queue.open());
    EXPECT_EQ(state.reading()->text, "two");
    ASSERT_TRUE(queue.markRead());
    EXPECT_EQ(state.unread(), 0);
    EXPECT_FALSE(queue.carried());

    // A letter that comes after the last one was read has to be fetched again.
    queue.deliver(note("three"));
    EXPECT_TRUE(queue.toFetch());
    EXPECT_FALSE(queue.carried());
}

TEST_F(LetterQueueTest, OneUpdateOfferWaitsAndAReportKeepsItsRoomUntilAnotherBubble) {
    queue.deliver(note("v2", true));
    EXPECT_FALSE(queue.deliver(note("v3", true)));
    queue.deliver(note("water the plants"));
    Letter report = note("week");
    report.report = FocusReport{};
    queue.deliver(report);
    ASSERT_EQ(queue.letters().size(), 3u);
    EXPECT_EQ(queue.letters()[0].text, "v2") << "the first offer keeps its place";
    EXPECT_EQ(state.unread(), 3);

    queue.setCarrying(true);
    queue.open();
    queue.bubbleShows();
    EXPECT_FALSE(queue.reportBubble());
    queue.markRead();
    EXPECT_TRUE(queue.deliver(note("v3", true))) << "the offer read, a newer one may come";

    queue.markRead(); // the note
    queue.open();
    EXPECT_TRUE(queue.readingReport());
    queue.bubbleShows();
    queue.markRead();
    EXPECT_FALSE(queue.readingReport());
    EXPECT_TRUE(queue.reportBubble()) << "the closed report shrinks away in its own room";
    // The next bubble (here the eaten one: no letter open) is no report.
    queue.bubbleShows();
    EXPECT_FALSE(queue.reportBubble());
    EXPECT_EQ(queue.letters().back().text, "v3");
}

} // namespace
