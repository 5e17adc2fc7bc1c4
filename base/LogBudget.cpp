#include "base/LogBudget.h"

bool LogBudget::allow(QString& line) {
    if (!window_.isValid() || window_.elapsed() >= 60000) {
        window_.start();
        used_ = 0;
    }
    if (used_ >= lines_) {
        ++skipped_;
        return false;
    }
    ++used_;
    if (skipped_ > 0) {
        line += QStringLiteral(" (%1 more like it left out)").arg(skipped_);
        skipped_ = 0;
    }
    return true;
}
