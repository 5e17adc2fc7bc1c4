#include "updates/UpdateChecks.h"

#include "platform/Settings.h"

namespace UpdateChecks {

bool enabled(const Settings& defaults) {
    return defaults.boolean(QString::fromLatin1(key)).value_or(true);
}

void setEnabled(Settings& defaults, bool on) {
    defaults.setBoolean(QString::fromLatin1(key), on);
}

} // namespace UpdateChecks
