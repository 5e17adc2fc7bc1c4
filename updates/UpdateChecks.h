#pragma once

class Settings;

// The user's "Check for updates" switch of the folder install, stored under "checkForUpdates";
// absent reads as on. While it is off the updater sends no request at all.
namespace UpdateChecks {

inline constexpr char key[] = "checkForUpdates";

bool enabled(const Settings& defaults);
void setEnabled(Settings& defaults, bool on);

} // namespace UpdateChecks
