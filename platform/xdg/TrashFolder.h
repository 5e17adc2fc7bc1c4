#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

// An open, checked trash folder: its files/ and info/ folders held as descriptors, so nothing
// can swap them between the checks and the moves. A mount's trash is used only as the
// freedesktop.org trash rules allow: $topdir/.Trash when it is a real, sticky folder (and then
// its $uid folder only when it is the user's own, no link, mode 0700), else $topdir/.Trash-$uid
// when it is the user's own, no link, mode 0700 (made so when missing). Never a folder another
// user controls.
class TrashFolder {
  public:
    TrashFolder(TrashFolder&& other) noexcept;
    TrashFolder& operator=(TrashFolder&&) = delete;
    TrashFolder(const TrashFolder&) = delete;
    ~TrashFolder();

    // The trash for an item on `device` whose folder, links resolved, is `canonicalFolder`: the
    // home trash when it lies on that device, else the trash of the mount. Made when missing.
    // None with the reason in error.
    static std::optional<TrashFolder> forItem(dev_t device, const QByteArray& canonicalFolder,
                                              QString& error);
    // The trash folder at `path` (as path() named it), checked again; nothing is made.
    static std::optional<TrashFolder> reopen(const QByteArray& path, QString& error);

    int files() const { return files_; }
    int info() const { return info_; }
    const QByteArray& path() const { return path_; }
    // How the record names an item at `absolute`: as it is in the home trash, relative to the
    // mount's top folder in a mount's trash (so the disk's records hold wherever it is mounted).
    QByteArray recordPath(const QByteArray& absolute) const;

  private:
    TrashFolder(int files, int info, QByteArray path, QByteArray top);
    int files_ = -1;
    int info_ = -1;
    QByteArray path_;
    QByteArray top_; // the mount's top folder; empty for the home trash
};

// A short reason for an errno, in the words the log uses.
QString trashReason(int code);
