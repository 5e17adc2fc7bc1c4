#include "platform/linux/AudioApps.h"

#include <gtest/gtest.h>

TEST(MusicPlayersTest, KnownPlayersMatchByPrefixWithoutCase) {
    EXPECT_TRUE(isMusicPlayer(u"spotify"));
    EXPECT_TRUE(isMusicPlayer(u"spotify.instance4711")); // further characters still count
    EXPECT_TRUE(isMusicPlayer(u"Spotify"));
    EXPECT_TRUE(isMusicPlayer(u"org.gnome.Music"));
    EXPECT_TRUE(isMusicPlayer(u"ORG.KDE.ELISA"));
    EXPECT_TRUE(isMusicPlayer(u"cmus"));
    EXPECT_FALSE(isMusicPlayer(u"spot")) << "a shorter part of a prefix is no match";
    EXPECT_FALSE(isMusicPlayer(u"org.gnome"));
    EXPECT_FALSE(isMusicPlayer(u"firefox"));
    EXPECT_FALSE(isMusicPlayer(u""));
    EXPECT_FALSE(isMusicPlayer(u"my-spotify")) << "the id must begin with the prefix";
}

// One list, three kinds; the first matching entry wins, so a mixer's id never reads as a player.
TEST(MusicPlayersTest, MediaPlayersAndMixersAreToldApart) {
    EXPECT_EQ(audioApp(u"mpv"), AudioApp::mediaPlayer);
    EXPECT_EQ(audioApp(u"mpv.instance812"), AudioApp::mediaPlayer);
    EXPECT_EQ(audioApp(u"org.VideoLAN.VLC"), AudioApp::mediaPlayer);
    EXPECT_FALSE(isMusicPlayer(u"vlc")) << "a video player plays music only sometimes";
    EXPECT_EQ(audioApp(u"org.PulseAudio.pavucontrol"), AudioApp::mixer);
    EXPECT_EQ(audioApp(u"pavucontrol-qt"), AudioApp::mixer);
    EXPECT_EQ(audioApp(u"org.gnome.Rhythmbox3"), AudioApp::musicPlayer);
    EXPECT_EQ(audioApp(u"org.gnome.Settings"), AudioApp::mixer);
    EXPECT_EQ(audioApp(u"zoom"), AudioApp::other);
    EXPECT_EQ(audioApp(u""), AudioApp::other);
}
