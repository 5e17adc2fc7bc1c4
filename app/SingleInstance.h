#pragma once

#include <QList>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QUrl>

// One Purrlox per user. The instance holds an exclusive lock on a file in the user's data
// folder for the life of the process (the kernel drops it when the process dies, however it
// dies), taken before any store is loaded, and listens on a user-only socket in the runtime
// folder, whose path it writes into the lock file. A later start that finds the lock taken
// hands its links over that socket and exits, whatever its own runtime folder is.
// The lock is only ever a regular file: a symbolic link, FIFO or anything else in its place
// is left as it is (logged), and the instance runs without the lock.
class SingleInstance final : public QObject {
    Q_OBJECT
  public:
    // An empty socket path: the default one, in a private folder made for it when needed.
    explicit SingleInstance(QString socketPath = {}, QString lockPath = defaultLockPath(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance. False when another instance runs: it
    // took the links (an empty list asks it to show itself), or it did not answer (logged).
    bool claim(const QList<QUrl>& urls);

    QString socketPath() const { return path_; }
    QString lockPath() const { return lockPath_; }
    bool listening() const { return server_.isListening(); }
    // After a claim that found another instance: whether it took the links.
    bool handedOver() const { return handedOver_; }
    // In $XDG_RUNTIME_DIR; without it, in <tmp>/runtime-<user> when that is a folder of this
    // user's that nobody else can enter (made so when missing), else in a new private folder
    // (`made` receives it, for its owner to remove). Empty when no safe folder can be had.
    static QString defaultPath(QString* made = nullptr);
    // The same folder rule on a given temporary folder; empty when none.
    static QString runtimeFolder(const QString& tempFolder, QString* made);
    static QString defaultLockPath();

    // How long a start waits for a running instance that holds the lock to answer.
    static inline int answerWaitMs = 3000;

  signals:
    void linksArrived(const QList<QUrl>& urls);
    void startedAgain();
    // Another start's command line ("!…\n"), unread on the socket; the receiver owns it.
    void commandArrived(QLocalSocket* socket);

  private:
    enum class Lock { taken, busy, unavailable };
    Lock lock();
    // The socket the lock holder listens on: what it wrote into the lock file, else ours.
    // Empty when the holder said it could not listen.
    QString holderSocket() const;
    void publishSocket(bool listening);
    bool handTo(const QString& socketPath, const QList<QUrl>& urls);
    bool listen();
    void read(class QLocalSocket* socket);

    QString path_;
    QString lockPath_;
    QString madeFolder_; // the private socket folder made for this instance
    int lockFd_ = -1;
    bool handedOver_ = false;
    QLocalServer server_;
};
