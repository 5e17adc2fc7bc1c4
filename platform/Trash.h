#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Where a trashed item lies, and which file it was: putting back moves only that very file,
// never one that took its place in the trash.
struct TrashedItem {
    QString path;
    quint64 device = 0;
    quint64 inode = 0;
};

// The user's trash can. The calls touch the file system and may take long on a slow or hung
// disk: the app makes them off the main thread, one at a time.
class Trash {
  public:
    virtual ~Trash() = default;
    // Moves a file or folder to the trash; answers where it now lies, or none with the reason in
    // error (a short English phrase for the log).
    virtual std::optional<TrashedItem> moveToTrash(const QString& path, QString& error) = 0;
    // Moves a trashed item home again without replacing anything there; false with the reason
    // in error, and the item stays in the trash.
    virtual bool putBack(const TrashedItem& item, const QString& originalPath, QString& error) = 0;
};
