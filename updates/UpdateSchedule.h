#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class Settings;

// When the updater checks: once after a first delay, then whenever the hourly tick finds the
// last check started a day ago or more (or never). The time of the last check is stored, so
// a restart does not check again.
class UpdateSchedule final : public QObject {
    Q_OBJECT
  public:
    UpdateSchedule(Settings& defaults, int firstCheckMs, std::function<void()> check,
                   QObject* parent = nullptr);

    // The hourly tick.
    void hourly();
    // A check starts now.
    void started();

  private:
    Settings& defaults_;
    std::function<void()> check_;
    QTimer timer_;
};
