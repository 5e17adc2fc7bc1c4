#pragma once

#include "updates/UpdateFailure.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <optional>

class Defaults;

// Keeps the installed Purrlox folder current. About once a day it fetches the signed manifest,
// downloads a newer release and checks its digest, then reports it through onReady. install()
// unpacks the release, checks its signed file list, copies it beside the install, swaps the
// two folders in one rename and starts the new version once this process has gone.
class Updater final : public QObject {
    Q_OBJECT
  public:
    using Failure = UpdateFailure;

    struct Setup {
        QUrl base;            // the product site; "update/linux" and "update/Purrlox.tar.gz"
        QByteArray publicKey; // base64 Ed25519 key the manifest and file lists must verify with
        QString app;          // the install folder (bin/purrlox, VERSION); empty when not installed
        QString folder;       // where downloaded releases wait
        int firstCheckMs = 60000;
        int timeoutMs = 30000; // a request that moves no data for this long fails
        // However steadily data moves, a request ends by these.
        int manifestDeadlineMs = 2 * 60 * 1000;
        int releaseDeadlineMs = 30 * 60 * 1000;
        qint64 releaseCap = 1024LL * 1024 * 1024; // bytes; a larger release is refused
        // The running process's own: PURRLOX_UPDATE_URL, PURRLOX_UPDATE_DELAY, the pinned key,
        // the folder above bin/ and $XDG_CACHE_HOME/app.purrlox.Purrlox/Update.
        static Setup standard();
    };

    struct Ready {
        QString version;
        QString archive;
    };

    Updater(Defaults& defaults, Setup setup, QObject* parent = nullptr);
    // A request still under way ends without calling back.
    ~Updater() override;

    std::function<void(const QString& version)> onReady = [](const QString&) {};
    std::function<void()> onFailed = [] {};
    std::optional<Ready> ready;
    bool checking = false;

    // What install() does at its end; tests replace them.
    std::function<bool(const QString& program, const QString& removing, QString* error)> relaunch;
    std::function<void()> quit;

    void check();
    void install();
    // The hourly timer: checks when the last check started a day ago or more (or never).
    void hourly();

    // The version in the install's VERSION file; "0" when there is none.
    QString current() const { return current_; }
    // The install folder when it can be replaced: an installed form, not under /usr, the
    // folder and its parent writable.
    std::optional<QString> replaceable() const;

    // What a signed manifest offers; none when it does not verify or breaks a rule.
    struct Offer {
        QString version;
        QString sha256;
    };
    static std::optional<Offer> readManifest(const QString& text, const QByteArray& key);

    static bool newer(const QString& a, const QString& than);
    static std::optional<QString> sha256(const QString& file);

    // Unpacks, checks and copies the release beside app; answers the staged folder. Throws.
    QString stage(const QString& archive, const QString& app) const;
    // The folder's file list must be signed by our key and match the folder exactly. Throws.
    void checkSignature(const QString& folder) const;

    // Test seam: called at "unpacked", "copied" and "swapped" during install.
    static inline void (*reached)(const char* point) = nullptr;

  signals:
    void checked(); // a check ended, whatever its outcome

  private:
    // GETs path under the base URL within our rules: the idle time-out, the overall deadline,
    // at most cap bytes counted as they arrive (each chunk goes to take, which answers a
    // failure or nothing), and redirects only within the base's scheme, host and port. done
    // gets the reply and the failure our rules or take stopped it with (empty when they did
    // not; the reply's own error is for done to read).
    void fetch(const QString& path, const QString& what, int deadlineMs, qint64 cap,
               std::function<QString(QByteArrayView chunk)> take,
               std::function<void(QNetworkReply* reply, const QString& failure)> done);
    void manifestArrived(QNetworkReply* reply, const QByteArray& body, const QString& failure);
    void download(const QString& version, const QString& digest, const QString& archive);
    void finish();

    Defaults& defaults_;
    Setup setup_;
    QString current_;
    QNetworkAccessManager network_;
    QPointer<QNetworkReply> inFlight_;
    QTimer timer_;
};
