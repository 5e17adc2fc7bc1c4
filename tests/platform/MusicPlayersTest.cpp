#include "platform/MusicPlayers.h"

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
