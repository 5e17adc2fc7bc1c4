#pragma once

#include "platform/Trash.h"

// Until the trash backend exists the cat eats nothing.
class NoTrash final : public Trash {
  public:
    std::optional<QString> moveToTrash(const QString&) override { return std::nullopt; }
    bool putBack(const QString&, const QString&) override { return false; }
};
