#pragma once

#include <QString>

// What a failed file operation's errno means, in the words the log uses. Qt's own texts say
// "Unknown error" after a short write (the disk filled up mid-way), so writers name the cause
// from errno themselves.
namespace FileError {

QString text(int error);

} // namespace FileError
