#pragma once

#include "base/LogBudget.h"

#include <QFileSystemWatcher>
#include <QList>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QTimer>
#include <QUrl>

// One Purrlox per user. The instance holds an exclusive lock on a file in the user's data
// folder for the life of the process (the kernel drops it when the process dies, however it
// dies), taken before any store is loaded, and listens on a user-only socket in the runtime
// folder, whose path it writes into the lock file. A later start that finds the lock taken
// hands its links over that socket and exits, whatever its own runtime folder is.
// The lock is only ever a regular file: a symbolic link, FIFO or anything else in its place
// is left as it is (logged), and the instance runs without the lock.
// The instance looks after its claim: a lock file that goes (its folder removed or moved) is
// made and taken again, and a socket file that goes is listened on again. A start never
// removes a socket that an instance answers on: it hands over to it, lock or no lock.
// Another start's message is read as it arrives, at most messageCap bytes; a peer that sends
// more, or keeps the connection open for long, is dropped.
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
    // Links of one start fit many times over; anything larger is no start of ours.
    static constexpr qint64 messageCap = 64 * 1024;
    // Starts talking at once; more are refused until one is done.
    static constexpr int mostPeers = 8;
    // How long a start may keep its connection open.
    static inline int peerWaitMs = 10000;
    // How often the claim is looked after besides what the folder watch reports (a folder
    // further up moved away tells the watch nothing), and while a re-take keeps failing.
    static inline int guardIntervalMs = 30000;
    static inline int retryIntervalMs = 1000;

  signals:
    void linksArrived(const QList<QUrl>& urls);
    void startedAgain();
    // Another start's command line ("!…", without its newline) and the socket to answer on;
    // the receiver owns the socket.
    void commandArrived(QLocalSocket* socket, const QByteArray& line);

  private:
    enum class Lock { taken, busy, unavailable };
    Lock lock(bool quiet = false);
    // The lock file open here is still the one at lockPath_.
    bool lockStillThere() const;
    // Takes the lock again when its file went, and listens again when the socket file went.
    void guard();
    // Watches the lock's and the socket's folders, each again once it is back.
    void watchFolders();
    // The socket the lock holder listens on: what it wrote into the lock file, else ours.
    // Empty when the holder said it could not listen.
    QString holderSocket() const;
    void publishSocket(bool listening);
    bool handTo(const QString& socketPath, const QList<QUrl>& urls);
    bool listen();
    void accept(class QLocalSocket* socket);
    void read(const QByteArray& data);
    void dropped(const QString& why);

    QString path_;
    QString lockPath_;
    QString madeFolder_; // the private socket folder made for this instance
    int lockFd_ = -1;
    bool handedOver_ = false;
    bool guardFailing_ = false; // one log line per streak of failed re-takes
    int peers_ = 0;
    LogBudget dropLines_;
    QLocalServer server_;
    QTimer guard_;
    QFileSystemWatcher folders_;
    QTimer settle_; // one look once a folder's removal is over
};
