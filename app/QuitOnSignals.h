#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a logout that ends the session's processes, Ctrl+C, a closed
// terminal) end the application through its normal quit, so everything that books or saves on
// the way out (a running pomodoro's open stretch) still happens. The handler only writes a
// byte to a pipe; the quit itself runs on the main thread. One instance per process.
class QuitOnSignals final : public QObject {
    Q_OBJECT
  public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override; // puts the previous handlers back

    bool active() const { return notifier_ != nullptr; }
    // What happens on a signal, on the main thread; quits the application by default.
    std::function<void(int signal)> onSignal;

  private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};
