#pragma once

#include "platform/Trash.h"

// The freedesktop.org trash: the home trash under $XDG_DATA_HOME/Trash, or the trash folder of
// the mount a file lives on ($topdir/.Trash/$uid or $topdir/.Trash-$uid). Items are renamed,
// never copied, so a file that cannot be renamed into a trash on its own file system stays
// where it is.
class FreedesktopTrash final : public Trash {
  public:
    std::optional<QString> moveToTrash(const QString& path, QString& error) override;
    // Renames the item home only if nothing lies at the former path, then removes its
    // .trashinfo; the record is kept when the item could not go home.
    bool putBack(const QString& trashedPath, const QString& originalPath, QString& error) override;
};
