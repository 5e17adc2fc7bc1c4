#pragma once

#include <QByteArrayView>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

// The updater's requests to the product site, within our rules: the idle time-out, an
// overall deadline, at most a cap of bytes counted as they arrive, and redirects only within
// the base's scheme, host and port. One request at a time.
class UpdateDownload final : public QObject {
    Q_OBJECT
  public:
    UpdateDownload(QUrl base, int timeoutMs, QObject* parent = nullptr);
    // A request still under way ends without calling back.
    ~UpdateDownload() override;

    // GETs path under the base URL. Each chunk goes to take as it arrives, which answers a
    // failure or nothing. done gets the reply and the failure our rules or take stopped it
    // with (empty when they did not; the reply's own error is for done to read).
    void fetch(const QString& path, const QString& what, int deadlineMs, qint64 cap,
               std::function<QString(QByteArrayView chunk)> take,
               std::function<void(QNetworkReply* reply, const QString& failure)> done);

    // Downloads the release into folder as archive, written and hashed as it arrives (never
    // held in memory), and keeps it only when its SHA-256 is digest. done(true) when it is in
    // place; every failure is logged and leaves nothing behind.
    void release(const QString& folder, const QString& archive, const QString& digest,
                 int deadlineMs, qint64 cap, std::function<void(bool ok)> done);

  private:
    QUrl base_;
    int timeoutMs_;
    QNetworkAccessManager network_;
    QPointer<QNetworkReply> inFlight_;
};
