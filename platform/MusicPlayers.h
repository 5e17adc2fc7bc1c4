#pragma once

#include <QStringView>

// Whether an application id, binary name or MPRIS identity belongs to a known music player:
// it begins with one of their ids, compared without regard to case.
bool isMusicPlayer(QStringView id);
