#pragma once

#include "updates/UpdateFailure.h"
#include "updates/Updates.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class Settings;
class QNetworkReply;
class UpdateDownload;
class UpdateSchedule;

// Keeps the installed Purrlox folder current. About once a day (UpdateSchedule) it fetches the
// signed manifest, downloads a newer release and checks its digest (UpdateDownload,
// UpdateVerify), then reports it through onReady. install() stages the release beside the
// install (UpdateStage), swaps the two folders in one rename and starts the new version once
// this process has gone (UpdateSwap).
class Updater final : public QObject, public Updates {
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

    Updater(Settings& defaults, Setup setup, QObject* parent = nullptr);
    // A request still under way ends without calling back.
    ~Updater() override;

    // The updater of the running process, as the app injects it into its model.
    static std::unique_ptr<Updates> standard(Settings& defaults);

    std::optional<Ready> ready;
    bool checking = false;

    // What install() does at its end; tests replace them.
    std::function<bool(const QString& program, const QString& removing, QString* error)> relaunch;
    std::function<void()> quit;

    void check();
    void install() override;
    // The hourly timer: checks when the last check started a day ago or more (or never).
    void hourly();

    // The version in the install's VERSION file; "0" when there is none.
    QString current() const { return current_; }
    // The install folder when it can be replaced: an installed form, not under /usr, the
    // folder and its parent writable.
    std::optional<QString> replaceable() const;

    // Unpacks, checks and copies the release beside app; answers the staged folder. Throws.
    QString stage(const QString& archive, const QString& app) const;
    // The folder's file list must be signed by our key and match the folder exactly. Throws.
    void checkSignature(const QString& folder) const;

  signals:
    void checked(); // a check ended, whatever its outcome

  private:
    void manifestArrived(QNetworkReply* reply, const QByteArray& body, const QString& failure);
    void offer(const QString& version);
    void finish();

    Settings& defaults_;
    Setup setup_;
    QString current_;
    std::unique_ptr<UpdateDownload> download_;
    std::unique_ptr<UpdateSchedule> schedule_;
};
