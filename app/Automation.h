#pragma once

#include <QJsonObject>
#include <QLocalServer>
#include <QObject>
#include <functional>

// A test hook, opened only when the command line names a socket: one JSON object per line in,
// one JSON object per line out. The handler decides what each request means.
class Automation final : public QObject {
    Q_OBJECT
  public:
    using Handler = std::function<QJsonObject(const QJsonObject& request)>;

    Automation(Handler handler, QObject* parent = nullptr);
    bool listen(const QString& socketPath);
    QString socketPath() const { return server_.fullServerName(); }

    // One request line to one reply line; bad JSON gets an error reply, never a crash.
    QByteArray answer(const QByteArray& line) const;

  private:
    Handler handler_;
    QLocalServer server_;
};
