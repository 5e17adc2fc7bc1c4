#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// The frame clock: calls its action once per display refresh on the main thread.
class Ticker : public QObject {
    Q_OBJECT
  public:
    Ticker(std::function<void()> action, double refreshRate, QObject* parent = nullptr);
    void fire() { action(); }

    std::function<void()> action;

  private:
    QTimer timer;
};
