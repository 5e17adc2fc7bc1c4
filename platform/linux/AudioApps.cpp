#include "platform/linux/AudioApps.h"

namespace {

struct Known {
    QStringView prefix;
    AudioApp kind;
};

using enum AudioApp;

// Every application the cat knows by sound. To add one, put a line with the beginning of its
// ids: the binary name (application.process.binary) and, when it differs, the application id
// (application.id, often reverse DNS) and the MPRIS bus name after "org.mpris.MediaPlayer2.";
// `pactl list sink-inputs` and `busctl --user list` show them. Matching is by prefix, first
// entry wins.
constexpr Known known[] = {
    // Music players.
    {u"spotify", musicPlayer},
    {u"com.spotify.Client", musicPlayer},
    {u"rhythmbox", musicPlayer},
    {u"org.gnome.Rhythmbox", musicPlayer},
    {u"org.gnome.Music", musicPlayer},
    {u"gnome-music", musicPlayer},
    {u"org.kde.elisa", musicPlayer},
    {u"elisa", musicPlayer},
    {u"lollypop", musicPlayer},
    {u"org.gnome.Lollypop", musicPlayer},
    {u"strawberry", musicPlayer},
    {u"org.strawberrymusicplayer", musicPlayer},
    {u"clementine", musicPlayer},
    {u"org.clementine_player", musicPlayer},
    {u"audacious", musicPlayer},
    {u"amarok", musicPlayer},
    {u"org.kde.amarok", musicPlayer},
    {u"deadbeef", musicPlayer},
    {u"quodlibet", musicPlayer},
    {u"io.github.quodlibet", musicPlayer},
    {u"tidal-hifi", musicPlayer},
    {u"yandex-music", musicPlayer},
    {u"deezer", musicPlayer},
    {u"plexamp", musicPlayer},
    {u"youtube-music", musicPlayer},
    {u"cmus", musicPlayer},
    {u"mpd", musicPlayer},
    {u"mocp", musicPlayer},
    {u"exaile", musicPlayer},
    {u"sayonara", musicPlayer},
    {u"tauon", musicPlayer},
    {u"musikcube", musicPlayer},
    // General media players: music when the stream's role is "music", which they set when the
    // media has no picture.
    {u"mpv", mediaPlayer},
    {u"io.mpv", mediaPlayer},
    {u"vlc", mediaPlayer},
    {u"org.VideoLAN.VLC", mediaPlayer},
    {u"celluloid", mediaPlayer},
    {u"io.github.celluloid_player", mediaPlayer},
    {u"smplayer", mediaPlayer},
    {u"totem", mediaPlayer},
    {u"org.gnome.Totem", mediaPlayer},
    {u"parole", mediaPlayer},
    {u"org.xfce.parole", mediaPlayer},
    {u"dragon", mediaPlayer},
    {u"org.kde.dragonplayer", mediaPlayer},
    {u"haruna", mediaPlayer},
    {u"org.kde.haruna", mediaPlayer},
    {u"mplayer", mediaPlayer},
    // Mixers and sound settings: they record only to draw level meters.
    {u"pavucontrol", mixer}, // and pavucontrol-qt
    {u"org.PulseAudio.pavucontrol", mixer},
    {u"gnome-control-center", mixer},
    {u"org.gnome.VolumeControl", mixer},
    {u"org.gnome.Settings", mixer},
    {u"org.kde.plasma-pa", mixer}, // Plasma's applet and its settings module (kcm)
    {u"mate-volume-control", mixer},
    {u"org.mate.VolumeControl", mixer},
    {u"systemsettings", mixer},
    {u"kcmshell", mixer},
    {u"xfce4-pulseaudio-plugin", mixer},
    {u"pasystray", mixer},
    {u"cinnamon-settings", mixer},
};

} // namespace

AudioApp audioApp(QStringView id) {
    if (id.isEmpty()) return other;
    for (const Known& k : known)
        if (id.startsWith(k.prefix, Qt::CaseInsensitive)) return k.kind;
    return other;
}
