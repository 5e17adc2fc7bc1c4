#pragma once

#include "updates/UpdateFailure.h"

#include <QString>

// A release is a gzip'd tar of the install folder. Unpacking refuses absolute paths, "..",
// links that leave the folder, hard links, devices, FIFOs and sockets, and stops at the caps;
// the bytes written are counted as they come, whatever the headers claim.
namespace ReleaseArchive {

struct Limits {
    qint64 maxBytes = 512LL * 1024 * 1024;
    int maxEntries = 20000;
};

// Unpacks archive into the existing empty folder into; throws UpdateFailure. On failure
// whatever was written stays inside into, for the caller to remove.
void unpack(const QString& archive, const QString& into, const Limits& limits = {});

// Removes a tree even where an archive left folders without write or search permission.
void removeTree(const QString& path);

// Copies a folder keeping modes and links; throws UpdateFailure (a full disk among others).
void copyTree(const QString& from, const QString& to);

} // namespace ReleaseArchive
