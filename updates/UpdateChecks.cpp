#include "updates/UpdateChecks.h"

#include "platform/SettingsStore.h"

namespace UpdateChecks {

bool enabled(const SettingsStore& defaults) {
    return defaults.boolean(QString::fromLatin1(key)).value_or(true);
}

void setEnabled(SettingsStore& defaults, bool on) {
    defaults.setBoolean(QString::fromLatin1(key), on);
}

} // namespace UpdateChecks
