// Writes a synthetic focus log for start-up measurements.
// Usage: make_focus_log PATH [STRETCHES]   (default 75000: ten years of heavy use)
#include "SyntheticLog.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH [STRETCHES]\n", argv[0]);
        return 2;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 75000;
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    out.write(StretchCoding::toBytes(syntheticLog(QDateTime::currentDateTime(), count)));
    return 0;
}
