#pragma once

#include <QString>
#include <optional>

// The user's trash can.
class Trash {
  public:
    virtual ~Trash() = default;
    // Moves a file or folder to the trash; answers where it now lies, or none with the reason in
    // error.
    virtual std::optional<QString> moveToTrash(const QString& path, QString& error) = 0;
    // Moves a trashed item home again without replacing anything there; false with the reason
    // in error, and the item stays in the trash.
    virtual bool putBack(const QString& trashedPath, const QString& originalPath,
                         QString& error) = 0;
};
