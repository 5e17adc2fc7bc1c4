#pragma once

#include <QString>
#include <optional>

// The user's trash can.
class Trash {
  public:
    virtual ~Trash() = default;
    // Moves a file or folder to the trash; answers where it now lies, or none on failure.
    virtual std::optional<QString> moveToTrash(const QString& path) = 0;
    // Moves a trashed item home again without replacing anything there.
    virtual bool putBack(const QString& trashedPath, const QString& originalPath) = 0;
};
