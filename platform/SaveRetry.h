#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

// Tries a failed save again (a full disk, an I/O error). The store keeps what it could not
// write in memory, tells failed() after every failed write and succeeded() after a good one;
// the timer then calls `retry` after a pause that doubles from firstPauseMs up to
// longestPauseMs. A streak of failures logs one line as it starts and one as it ends.
class SaveRetry {
  public:
    SaveRetry(QString what, std::function<void()> retry);
    ~SaveRetry();
    SaveRetry(const SaveRetry&) = delete;
    SaveRetry& operator=(const SaveRetry&) = delete;

    void failed(const QString& why);
    void succeeded();
    bool failing() const { return failing_; }

    static inline int firstPauseMs = 1000;
    static inline int longestPauseMs = 5 * 60 * 1000;

  private:
    QString what_;
    std::function<void()> retry_;
    // Made on the first failure and owned by the application, so a store that outlives it
    // (the process-wide settings) never touches a timer after the event loop is gone.
    QPointer<QTimer> timer_;
    int pauseMs_ = 0;
    int failures_ = 0;
    bool failing_ = false;
};
