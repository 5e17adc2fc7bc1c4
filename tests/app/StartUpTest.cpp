#include "app/PurrloxApp.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, TakesTheAutomationSocketAndOnlyPurrloxLinks) {
    const auto options = PurrloxApp::parse(
        {"purrlox", "purrlox://a", "--automation", "/tmp/x.sock", "https://b", "purrlox:c"});
    EXPECT_EQ(options.automation, "/tmp/x.sock");
    EXPECT_EQ(options.links, QList<QUrl>({QUrl("purrlox://a"), QUrl("purrlox:c")}));
    EXPECT_TRUE(PurrloxApp::parse({"purrlox"}).automation.isEmpty());
}

} // namespace
