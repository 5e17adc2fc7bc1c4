#pragma once

#include "focus/FocusDayIndex.h"
#include "focus/FocusRecords.h"
#include "focus/Letter.h"
#include "platform/SettingsStore.h"
#include "platform/StoredArray.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <future>
#include <optional>
#include <set>
#include <thread>

class Clock;

// The persistent record of focus time: finished stretches, the open one, the daily goal,
// and everything the statistics derive from them. Also raises cheers and sends the daily
// and weekly reports.
class FocusLog : public QObject {
    Q_OBJECT

  public:
    using Stretch = FocusStretch;
    using Share = FocusShare;
    using Day = FocusDay;
    using Week = FocusWeek;
    using Streak = FocusStreak;
    struct Run {
        int count = 0;
        std::set<QDate> frozen; // Mondays of the weeks whose one missed day was forgiven
    };

    static constexpr const char* logKey = "focusLog";
    static constexpr const char* goalKey = "focusGoalMinutes";
    static constexpr const char* reportedKey = "focusReportedAt";
    static constexpr int reportInterval = 30000; // ms
    static inline qsizetype backgroundBytes = 512 * 1024;
    static const QList<int>& goalChoices();
    // The localized default activity name, fixed the first time it is asked for.
    static const QString& defaultActivity();

    // The application's log: loads "focusLog", saves every finished stretch, checks reports.
    // A stored log of backgroundBytes or more is decoded off the main thread: until it is in,
    // stretches() holds only what was finished since, and stretchesChanged announces the rest.
    // Saves are written off the main thread from a copy of the log, one at a time; a save
    // that fails is tried again (the stretches stay in memory until one works).
    FocusLog(SettingsStore& defaults, Clock& clock, QObject* parent = nullptr);
    ~FocusLog() override;
    // A scratch log over the given stretches: writes nothing, sends no reports.
    FocusLog(Clock& clock, QList<Stretch> stretches, QObject* parent = nullptr);

    bool persists() const { return defaults_ != nullptr; }
    // Waits for the save in progress and writes what is still unsaved (one more try after a
    // failure); true when every finished stretch is on disk. The quit path.
    bool flush();
    // Finished stretches not yet on disk.
    qsizetype unsavedCount() const { return unsaved_.size(); }
    bool loading() const { return loading_; }
    const QList<Stretch>& stretches() const { return stretches_; }
    const std::optional<Stretch>& current() const { return current_; }
    void setCurrent(std::optional<Stretch> stretch);
    QList<Stretch> all() const;

    int goalMinutes() const { return goalMinutes_; }
    void setGoalMinutes(int minutes);

    void count(double seconds);
    void finish(bool natural);
    void endSitting(const QDateTime& sitting);
    QString canonical(const QString& name) const;
    QStringList recent(int n) const;

    static QList<Share> shares(const QList<Stretch>& stretches, int limit);
    static int trailingRun(const QList<Stretch>& stretches);
    Day day(const QDateTime& date, int limit) const;
    Week week(const QDateTime& date, int limit) const;
    std::set<QDate> focusDays() const;
    static Run run(QDate endingOn, const std::set<QDate>& days);
    Streak streak(const QDateTime& date) const;

    // Reports: the 30-second timer's check, and the two letters.
    void checkReport();
    Letter report(const QDateTime& date) const;
    Letter weekReport(const QDateTime& date) const;
    bool reportTimerActive() const { return timer_.isActive(); }

    std::function<void(const QString&)> onCheer = [](const QString&) {};
    std::function<void(const Letter&)> onReport = [](const Letter&) {};

  signals:
    void stretchesChanged();
    void currentChanged();
    void goalMinutesChanged(int minutes);

  private:
    struct Loaded {
        std::optional<QList<Stretch>> stretches;
        QString error;      // why it could not be decoded
        QByteArray encoded; // the stored elements, as encoded_ keeps them
        FocusDayIndex index;
    };
    void load();
    // Pure: runs on the loading thread for a large log.
    static Loaded decodeLog(const QByteArray& bytes);
    // Takes over what the loading thread decoded (waiting for it if needed).
    void completeLoading();
    void apply(Loaded loaded);
    void save();
    // Starts writing the stored elements and the unsaved stretches on a thread of its own;
    // false when nothing may be written.
    bool startSave();
    // Takes over the outcome of the save in progress (waiting for it if needed).
    void saveFinished();
    // The save's thread says it is done: take it over once its outcome is there.
    void saveMayHaveFinished(quint64 number);
    struct Saved;
    // The log changed on disk since it was read or written here: take what the save's thread
    // read there and add the stretches not yet saved. False when nothing may be written.
    bool mergeFromDisk(Saved& saved);
    const FocusDayIndex& index() const;
    // The stretches of `all` that started on the day, in log order.
    QList<Stretch> startedOn(QDate day) const;
    Day dayOf(QDate day, int limit) const;

    SettingsStore* defaults_ = nullptr;
    Clock& clock_;
    QList<Stretch> stretches_;
    // The stored elements of the stretches on disk, comma-joined: a save adds the unsaved
    // ones instead of serializing ten years of stretches again.
    QByteArray stored_;
    QList<Stretch> unsaved_;         // finished here, not yet written
    QList<QByteArray> unsavedBytes_; // their stored elements
    // The save in progress: its thread has its own copies of what it writes and hands back
    // only its outcome, so nothing is shared while it runs.
    struct Saved {
        SettingsStore::DataOutcome outcome;
        QByteArray stored; // the elements now on disk, when written
        // When the file changed on disk: what is there now, decoded, and which of the
        // stretches it carried are there already.
        std::optional<SettingsStore::DataFile> disk;
        Loaded decoded;
        QList<bool> there;
    };
    std::future<Saved> saving_;
    qsizetype savingCount_ = 0;            // how many of unsaved_ it writes
    quint64 saveNumber_ = 0;               // of the latest save started
    std::unique_ptr<StoredArray> storage_; // none for a scratch log
    std::optional<Stretch> current_;
    int goalMinutes_ = 120;
    mutable FocusDayIndex index_;
    QTimer timer_;
    // The loading thread writes loaded_ and only then posts completeLoading; the main thread
    // reads it only after joining the thread.
    std::thread loader_;
    Loaded loaded_;
    QByteArray storedBytes_; // until the loading thread starts
    bool loading_ = false;
};
