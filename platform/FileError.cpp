#include "platform/FileError.h"

#include <cerrno>
#include <cstring>

namespace FileError {

QString text(int error) {
    switch (error) {
    case 0:
        return QStringLiteral("the system gave no reason");
    case ENOSPC:
        return QStringLiteral("no space left on the disk");
    case EDQUOT:
        return QStringLiteral("the disk quota is used up");
    case EROFS:
        return QStringLiteral("the disk is read-only");
    case EIO:
        return QStringLiteral("the disk reported an input/output error");
    case EFBIG:
        return QStringLiteral("the file is larger than the file system allows");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace FileError
