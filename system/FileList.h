#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The canonical list of a release folder: one line per entry, sorted by path, that the signing
// program signs and the updater recomputes. Lines are tab-separated:
//   d <tab> - <tab> - <tab> path            a folder
//   f <tab> mode <tab> sha256 <tab> path    a regular file, mode in octal (permission bits)
//   l <tab> - <tab> target <tab> path       a symbolic link
// Paths and link targets are percent-encoded, relative to the folder. The list itself and its
// signature (at the top level) are left out.
namespace FileList {

inline constexpr const char* listName = "FILES";
inline constexpr const char* signatureName = "FILES.sig";

// The list of folder; none with a reason when an entry cannot be read or is of another kind
// (device, FIFO, socket).
std::optional<QByteArray> of(const QString& folder, QString* error = nullptr);

} // namespace FileList
