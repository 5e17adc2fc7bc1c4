#pragma once

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QUrl>

// One Purrlox per user: the first start listens on a user-only socket in the runtime folder;
// a later start hands its links to it and exits.
class SingleInstance final : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(QString socketPath = defaultPath(), QObject* parent = nullptr);

    // True when this process is now the one instance. False when a running instance took the
    // links (an empty list asks it to show itself).
    bool claim(const QList<QUrl>& urls);

    QString socketPath() const { return path_; }
    static QString defaultPath();

  signals:
    void linksArrived(const QList<QUrl>& urls);
    void startedAgain();

  private:
    bool handTo(const QList<QUrl>& urls);
    bool listen();
    void read(class QLocalSocket* socket);

    QString path_;
    QLocalServer server_;
};
