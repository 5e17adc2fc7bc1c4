#include "platform/Random.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace {

class SystemRandom final : public Random {
  public:
    double uniform(double a, double b) override {
        if (b <= a) return a;
        // generateDouble() is [0, 1); nudging the top lets b itself come up.
        const double u = QRandomGenerator::global()->generateDouble();
        return std::min(b, a + u * std::nextafter(b - a, HUGE_VAL));
    }
    int uniformInt(int a, int b) override {
        if (b <= a) return a;
        return int(QRandomGenerator::global()->bounded(qint64(a), qint64(b) + 1));
    }
};

} // namespace

Random& Random::system() {
    static SystemRandom random;
    return random;
}
