#include "app/AppModel.h"

#include "FakeSystem.h"
#include "app/IncomingLinks.h"
#include "base/Config.h"
#include "fakes/Fakes.h"
#include "fakes/LogCapture.h"
#include "strings/Strings.h"
#if PURRLOX_SELF_UPDATE
#include "updates/Updater.h"
#endif

#include <gtest/gtest.h>

namespace {

struct Links : ::testing::Test {
    FakeSystem system;
    void SetUp() override {
        IncomingLinks::onOpen = nullptr;
        IncomingLinks::pending.clear();
    }
    void TearDown() override { SetUp(); }
    LogCapture log;
};

QStringList ignored(const QStringList& lines) {
    QStringList out;
    for (const QString& line : lines)
        if (line.startsWith("ignored a purrlox:// link")) out << line;
    return out;
}

TEST_F(Links, EarlyLinksAreHandledOnceAfterWiringInArrivalOrder) {
    IncomingLinks::open({QUrl("purrlox://first"), QUrl("purrlox://second")});
    IncomingLinks::open({QUrl("purrlox://third")});
    EXPECT_TRUE(ignored(log.messages()).isEmpty());

    AppModel model(*system.defaults, system.services());
    EXPECT_EQ(ignored(log.messages()), QStringList({"ignored a purrlox:// link (first)",
                                                    "ignored a purrlox:// link (second)",
                                                    "ignored a purrlox:// link (third)"}));
    EXPECT_TRUE(IncomingLinks::pending.isEmpty());

    // Later links go straight through, never queued again.
    IncomingLinks::open({QUrl("purrlox://later/x"), QUrl("purrlox://after")});
    EXPECT_TRUE(IncomingLinks::pending.isEmpty());
    EXPECT_EQ(ignored(log.messages()).mid(3), QStringList({"ignored a purrlox:// link (later)",
                                                           "ignored a purrlox:// link (after)"}));
}

TEST_F(Links, HostIsLoggedPercentEncodedOrAsNoHost) {
    AppModel model(*system.defaults, system.services());
    model.open(QUrl("purrlox:settings"));
    model.open(QUrl("purrlox:///path/only"));
    model.open(QUrl::fromEncoded("purrlox://%C3%BCber/x"));
    const QStringList lines = ignored(log.messages());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "ignored a purrlox:// link (no host)");
    EXPECT_EQ(lines[1], "ignored a purrlox:// link (no host)");
    EXPECT_EQ(lines[2], "ignored a purrlox:// link (xn--ber-goa)");
}

TEST_F(Links, LinksAfterTheModelIsGoneAreDroppedQuietly) {
    { AppModel model(*system.defaults, system.services()); }
    IncomingLinks::open({QUrl("purrlox://late")});
    EXPECT_TRUE(ignored(log.messages()).isEmpty());
}

} // namespace

namespace {

TEST(StartUp, TheCatEntersOnceWalkingInFromTheLeft) {
    FakeSystem system;
    AppModel model(*system.defaults, system.services());
    EXPECT_EQ(system.panels, 1);
    const auto cat = model.cats->snapshot();
    ASSERT_TRUE(cat.panelFrame);
    EXPECT_LT(cat.x, system.screens.visible.minX()); // still off screen, walking in
    EXPECT_EQ(cat.feetY, system.screens.visible.minY() + 12);
    EXPECT_TRUE(cat.activity.description().startsWith("walking"));
}

} // namespace

namespace {

TEST(StartUp, ScreenChangesReachTheCatUntilTheModelIsGone) {
    FakeSystem system;
    {
        AppModel model(*system.defaults, system.services());
        ASSERT_TRUE(system.screens.onChanged);
        system.screens.full = Rect{0, 0, 1024, 768};
        system.screens.visible = Rect{0, 60, 1024, 708};
        system.screens.onChanged();
        const auto cat = model.cats->snapshot();
        EXPECT_EQ(cat.feetY, 72);
        EXPECT_EQ(cat.x, -130); // still walking in from the new left edge
    }
    system.screens.onChanged(); // the cat is gone: nothing happens
}

#if PURRLOX_SELF_UPDATE
// The updater's letters reach the cat; the cat's "Update" reaches the updater.
TEST(UpdateWiring, LettersGoToTheCatAndTheAcceptGoesToTheUpdater) {
    FakeSystem system;
    AppModel model(*system.defaults, system.services(), &Updater::standard);
    ASSERT_TRUE(model.updater);
    model.updater->onReady("2.0");
    model.updater->onReady("2.0"); // one offer is enough
    ASSERT_EQ(model.cats->letters().size(), 1u);
    EXPECT_TRUE(model.cats->letters()[0].update);
    EXPECT_EQ(model.cats->letters()[0].text, S().updateReady("2.0"));

    // Nothing is ready in a test binary: the accept reads the offer, fails, and the cat brings
    // the news.
    model.cats->acceptUpdate();
    ASSERT_EQ(model.cats->letters().size(), 1u);
    EXPECT_FALSE(model.cats->letters()[0].update);
    EXPECT_EQ(model.cats->letters()[0].text, S().updateFailed(Config::site()));
}
#endif

} // namespace
