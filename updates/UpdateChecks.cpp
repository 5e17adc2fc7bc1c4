#include "updates/UpdateChecks.h"

#include "platform/Defaults.h"

namespace UpdateChecks {

bool enabled(const Defaults& defaults) {
    return defaults.boolean(QString::fromLatin1(key)).value_or(true);
}

void setEnabled(Defaults& defaults, bool on) {
    defaults.setBoolean(QString::fromLatin1(key), on);
}

} // namespace UpdateChecks
