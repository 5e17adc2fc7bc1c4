#include "FakeSystem.h"
#include "app/AppModel.h"
#include "app/IncomingLinks.h"
#include "app/QuitOnSignals.h"
#include "fakes/Wait.h"

#include <QUuid>
#include <csignal>
#include <gtest/gtest.h>

// The root wires the models before the cat enters: a reminder stored as already due when the
// app starts is on its way to the user with the first check.
TEST(AppWiring, AReminderDueAtStartUpReachesTheCat) {
    FakeSystem system;
    {
        Reminders earlier(*system.defaults, system.clock);
        earlier.insert({QUuid::createUuid(), QStringLiteral("Stand up"),
                        system.clock.now().addSecs(-60), false});
    }
    AppModel model(*system.defaults, system.services());
    ASSERT_EQ(model.reminders->list().size(), 1u);
    model.reminders->check();
    EXPECT_EQ(model.cats->state.unread(), 1);
    EXPECT_TRUE(model.reminders->list().isEmpty());
    IncomingLinks::onOpen = nullptr;
}

TEST(AppWiring, QuitSignalsArriveOnTheMainThreadOneByOne) {
    QuitOnSignals quit;
    ASSERT_TRUE(quit.active());
    std::vector<int> seen;
    quit.onSignal = [&](int signal) { seen.push_back(signal); };
    ::raise(SIGTERM);
    ::raise(SIGINT);
    EXPECT_TRUE(seen.empty()); // nothing runs inside the handler
    EXPECT_TRUE(waitFor([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, (std::vector<int>{SIGTERM, SIGINT}));
    ::raise(SIGHUP);
    EXPECT_TRUE(waitFor([&] { return seen.size() == 3; }));
}
