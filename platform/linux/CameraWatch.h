#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <unistd.h>

class QSocketNotifier;

// Whether a process of this user holds a camera (/dev/video*) open. One look through /proc at
// start, then inotify reports every open and close of the video nodes, and cameras plugged in
// later are watched as they appear. Reading the answer costs nothing. The roots are injectable
// so tests can build a small /dev and /proc of their own.
class CameraWatch final : public QObject {
    Q_OBJECT
  public:
    explicit CameraWatch(QString devRoot = QStringLiteral("/dev"),
                         QString procRoot = QStringLiteral("/proc"), uid_t user = ::getuid(),
                         QObject* parent = nullptr);
    ~CameraWatch() override;

    bool inUse() const { return open_ > 0; }
    int openCount() const { return open_; }
    // Called when inUse() flips.
    std::function<void()> changed;

  private:
    void watchNode(const QString& name);
    void scanProcesses();
    void readEvents();
    void readAll();

    QString dev_;
    QString proc_;
    uid_t user_;
    int fd_ = -1;
    int devWatch_ = -1;
    QHash<int, QString> nodes_; // watch descriptor → node path
    int open_ = 0;
    std::unique_ptr<QSocketNotifier> notifier_;
};
