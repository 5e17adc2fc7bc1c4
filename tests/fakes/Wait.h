#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

// Runs the event loop until the condition holds or the time is up; answers the condition.
template <typename Condition> bool waitFor(Condition condition, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}
