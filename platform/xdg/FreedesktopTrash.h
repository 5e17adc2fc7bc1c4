#pragma once

#include "platform/Trash.h"

// The freedesktop.org trash: the home trash under $XDG_DATA_HOME/Trash, or the trash folder of
// the mount a file lives on (see TrashFolder for which ones qualify). Items are renamed, never
// copied, so a file that cannot be renamed into a trash on its own file system stays where it
// is. A name whose record (<name>.trashinfo) would pass the file system's 255 bytes goes in
// under a shortened name; the record keeps the full former path.
class FreedesktopTrash final : public Trash {
  public:
    std::optional<TrashedItem> moveToTrash(const QString& path, QString& error) override;
    // Renames the item home only if it is still the file that went in and nothing lies at the
    // former path, then removes its .trashinfo; the record is kept when the item stays.
    bool putBack(const TrashedItem& item, const QString& originalPath, QString& error) override;
};
