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

// Help and version are answered before the app starts; an unknown option or a missing value
// refuses the whole line (even beside --help), while Qt's own options pass through.
TEST(CommandLine, AnswersHelpAndVersionAndRefusesWhatItDoesNotKnow) {
    using Ask = PurrloxApp::Options::Ask;
    EXPECT_EQ(PurrloxApp::parse({"purrlox"}).ask, Ask::run);
    EXPECT_EQ(PurrloxApp::parse({"purrlox", "--help"}).ask, Ask::help);
    EXPECT_EQ(PurrloxApp::parse({"purrlox", "-h"}).ask, Ask::help);
    EXPECT_EQ(PurrloxApp::parse({"purrlox", "--version"}).ask, Ask::version);
    for (const QStringList& bad : {QStringList{"purrlox", "--bogus"},
                                   {"purrlox", "-x"},
                                   {"purrlox", "--automation"},
                                   {"purrlox", "--version=2"},
                                   {"purrlox", "-help"},
                                   {"purrlox", "-platform"},
                                   {"purrlox", "--help", "--bogus"},
                                   {"purrlox", "-reverse=1"}}) {
        const auto options = PurrloxApp::parse(bad);
        EXPECT_EQ(options.ask, Ask::refuse) << bad.join(' ').toStdString();
        EXPECT_FALSE(options.problem.isEmpty());
    }
    EXPECT_EQ(PurrloxApp::parse({"purrlox", "--help", "--bogus"}).problem,
              "unknown option '--bogus'");

    const auto qt = PurrloxApp::parse({"purrlox", "-platform", "offscreen", "-style=fusion",
                                       "-reverse", "--display", ":3", "purrlox://a",
                                       "--automation=/tmp/s", "--", "--bogus"});
    EXPECT_EQ(qt.ask, Ask::run);
    EXPECT_EQ(qt.platform, "offscreen");
    EXPECT_EQ(qt.display, ":3");
    EXPECT_EQ(qt.automation, "/tmp/s");
    EXPECT_EQ(qt.links, QList<QUrl>{QUrl("purrlox://a")}); // after "--" only links, no options
}

} // namespace
