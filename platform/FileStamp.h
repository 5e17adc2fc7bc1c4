#pragma once

#include <QString>
#include <QtGlobal>

// The identity of a file as a store last read or wrote it: device, inode, size and
// modification time. A file replaced (by a restore from a backup, an editor or another
// process) or rewritten in place gets another one.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;

    // Absent only when the path surely does not exist; another failure gives an identity
    // that equals no real one.
    static FileStamp ofPath(const QString& path);
    static FileStamp ofDescriptor(int fd);
};
