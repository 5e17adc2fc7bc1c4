#include "platform/FileStamp.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

namespace {

FileStamp fromStat(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + qint64(st.st_mtim.tv_nsec);
    return s;
}

} // namespace

FileStamp FileStamp::ofPath(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) return fromStat(st);
    // Only a file that is surely not there is absent; any other failure is an unknown
    // identity, which matches nothing a store recorded.
    FileStamp unknown;
    unknown.exists = errno != ENOENT && errno != ENOTDIR;
    return unknown;
}

FileStamp FileStamp::ofDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {};
    return fromStat(st);
}
