#include "platform/x11/WindowFrame.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

using WindowFrame::frontMost;
using WindowFrame::outer;

TEST(WindowFrame, DecorationGrowsAndShadowsShrinkTheClient) {
    // A 400 × 300 client with a 1-pixel border at 100, 200 (outside the border).
    auto o = outer(100, 200, 400, 300, 1, {}, {});
    EXPECT_EQ(o.frame, QRect(100, 200, 402, 302));
    EXPECT_FALSE(o.extentsIgnored);
    // The manager's frame: 2 left, 3 right, 24 title, 4 bottom.
    o = outer(100, 200, 400, 300, 0, {2, 3, 24, 4}, {});
    EXPECT_EQ(o.frame, QRect(98, 176, 405, 328));
    // Client-side shadows of 10 all round, inside the client.
    o = outer(100, 200, 400, 300, 0, {}, {10, 10, 10, 10});
    EXPECT_EQ(o.frame, QRect(110, 210, 380, 280));
    EXPECT_FALSE(o.extentsIgnored);
    // Lists of the wrong length are not extents at all.
    EXPECT_EQ(outer(0, 0, 50, 50, 0, {1, 2, 3}, {1}).frame, QRect(0, 0, 50, 50));
}

TEST(WindowFrame, HostileExtentsAreIgnoredWithoutOverflow) {
    const uint32_t huge = 0xffffffffu;
    auto o = outer(100, 200, 400, 300, 0, {huge, huge, huge, huge}, {});
    EXPECT_TRUE(o.extentsIgnored);
    EXPECT_EQ(o.frame, QRect(100, 200, 400, 300));
    // One side larger than the window is enough; exactly its size still counts.
    EXPECT_TRUE(outer(0, 0, 400, 300, 0, {0, 0, 301, 0}, {}).extentsIgnored);
    EXPECT_EQ(outer(0, 0, 400, 300, 0, {400, 0, 300, 0}, {}).frame, QRect(-400, -300, 800, 600));
    // Shadows that would leave nothing of the client.
    o = outer(0, 0, 400, 300, 0, {}, {200, 200, 0, 0});
    EXPECT_TRUE(o.extentsIgnored);
    EXPECT_EQ(o.frame, QRect(0, 0, 400, 300));
    o = outer(0, 0, 400, 300, 0, {}, {huge, 0, huge, 0});
    EXPECT_TRUE(o.extentsIgnored);
    EXPECT_EQ(o.frame, QRect(0, 0, 400, 300));
    // The largest geometry X can report, with the largest sane decoration: no wrap-around.
    o = outer(32767, 32767, 65535, 65535, 65535, {65535, 65535, 65535, 65535}, {});
    EXPECT_FALSE(o.extentsIgnored);
    EXPECT_EQ(o.frame.width(), 65535 + 2 * 65535 + 2 * 65535);
    EXPECT_GT(o.frame.right(), o.frame.left());
}

TEST(WindowFrame, TheCapKeepsTheFrontMostWindowsFrontFirst) {
    std::vector<uint32_t> bottomToTop(100000);
    std::iota(bottomToTop.begin(), bottomToTop.end(), 1u);
    const auto front = frontMost(bottomToTop.data(), bottomToTop.size(), 400);
    ASSERT_EQ(front.size(), 400u);
    EXPECT_EQ(front.front(), 100000u); // the top of the stack
    EXPECT_EQ(front.back(), 100000u - 399);
    // Under the cap everything stays, reversed.
    const uint32_t few[] = {7, 8, 9};
    EXPECT_EQ(frontMost(few, 3, 400), (std::vector<uint32_t>{9, 8, 7}));
    EXPECT_TRUE(frontMost(few, 0, 400).empty());
}

} // namespace
