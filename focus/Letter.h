#pragma once

#include "focus/FocusReport.h"

#include <QString>
#include <optional>

// A note the cat carries to the user.
struct Letter {
    QString text;
    std::optional<FocusReport> report;
    bool update = false; // an offer to install a new version

    bool operator==(const Letter&) const = default;
};
