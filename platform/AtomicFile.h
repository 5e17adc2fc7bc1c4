#pragma once

#include "platform/FileStamp.h"

#include <QByteArray>
#include <QString>

// Files that are either the old version or the new one, never half of each, and folders that
// survive a power cut.
namespace AtomicFile {

// Writes bytes atomically and durably: a temporary file, fsync, rename, fsync of the folder;
// folders it creates are made durable in their parents too. `written` receives the new file's
// identity, `error` why it failed.
bool write(const QString& path, const QByteArray& bytes, FileStamp* written = nullptr,
           QString* error = nullptr);
// Creates the folder and any missing parents (user-only), each one durable in its parent.
bool makeFolder(const QString& path);
// Renames path to path.unreadable-<timestamp> (never replacing anything); answers the new path.
QString keepAside(const QString& path);

// Test seams: runs after the data is durable and before the rename that publishes it; told of
// every folder made durable.
inline void (*beforeRename)() = nullptr;
inline void (*folderSynced)(const QString& folder) = nullptr;

} // namespace AtomicFile
