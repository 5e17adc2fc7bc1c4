#include "platform/MusicPlayers.h"

#include <array>

bool isMusicPlayer(QStringView id) {
    static constexpr std::array<QStringView, 17> known = {
        u"spotify",       u"rhythmbox",  u"org.gnome.Music", u"org.kde.elisa", u"lollypop",
        u"strawberry",    u"clementine", u"audacious",       u"amarok",        u"deadbeef",
        u"quodlibet",     u"tidal-hifi", u"yandex-music",    u"deezer",        u"plexamp",
        u"youtube-music", u"cmus"};
    for (QStringView prefix : known)
        if (id.startsWith(prefix, Qt::CaseInsensitive)) return true;
    return false;
}
