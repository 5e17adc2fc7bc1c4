#pragma once

#include <QStringView>

// What an application that uses sound is to the cat, told by its application id, binary name
// or MPRIS bus name / identity.
enum class AudioApp {
    other,
    musicPlayer, // plays music whenever it plays
    mediaPlayer, // plays music only when its stream says so (media.role "music")
    mixer,       // a mixer or sound settings: its recordings are level meters, never a call
};

// The first entry of the list whose id the given one begins with, compared without regard to
// case; `other` when none.
AudioApp audioApp(QStringView id);

inline bool isMusicPlayer(QStringView id) {
    return audioApp(id) == AudioApp::musicPlayer;
}
