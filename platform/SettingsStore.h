#pragma once

#include "platform/FileStamp.h"
#include "platform/SaveRetry.h"
#include "platform/Settings.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

// The per-user settings store. Small values live in one JSON object,
// <config>/purrlox/settings.json; each data value ("focusLog", "reminders") is its own file
// <data>/purrlox/<key>.json holding exactly the document the model writes.
// Every write is atomic and durable. A store never writes over a file that changed on disk
// since it read or wrote it: settings merge their changed keys into what is there, data
// values answer changedOnDisk so their owner can merge. A file that cannot be parsed is kept
// aside as <name>.unreadable-<timestamp> with one error log line; a file that cannot be read
// for another reason stays where it is and nothing is written over it for the rest of the run.
// Only regular files are read: a FIFO, socket, device or folder in a store's place cannot be
// read (a symbolic link is followed to a regular file, as dotfile managers make them).
// A write that fails (full disk, I/O error) keeps the values in memory; the settings are
// tried again on a growing pause, by the next setter and by flush().
class SettingsStore final : public Settings {
  public:
    // Folders are the parents of "purrlox/".
    SettingsStore(QString configHome, QString dataHome);

    // The store of this process: PURRLOX_CONFIG_HOME / PURRLOX_DATA_HOME, else the XDG folders.
    static SettingsStore& standard();
    static QString configHomeFromEnvironment();
    static QString dataHomeFromEnvironment();

    QString settingsPath() const;
    // No settings file was there when this store first read it: the user's first start.
    bool fresh() const;
    QString dataPath(const QString& key) const;
    QString dataFolder() const { return dataDir_; }

    bool contains(const QString& key) const override;
    void remove(const QString& key) override;

    // Typed reads answer none when the key is absent or holds another kind of value.
    std::optional<bool> boolean(const QString& key) const override;
    std::optional<qint64> integer(const QString& key) const override;
    std::optional<double> real(const QString& key) const override;
    std::optional<QString> text(const QString& key) const override;
    std::optional<QStringList> textList(const QString& key) const override; // every element a text
    std::optional<QDateTime> date(const QString& key) const override;       // seconds since 2001
    std::optional<QList<double>>
    realList(const QString& key) const override; // every element a number
    QJsonValue raw(const QString& key) const override;

    // Each setter writes the whole settings file atomically; false when the write failed or
    // the settings could not be read at start (the value is still kept in memory, and a
    // failed write is tried again).
    bool setBoolean(const QString& key, bool value) override;
    bool setInteger(const QString& key, qint64 value) override;
    bool setReal(const QString& key, double value) override;
    bool setText(const QString& key, const QString& value) override;
    bool setTextList(const QString& key, const QStringList& value) override;
    bool setDate(const QString& key, const QDateTime& value) override;
    bool setRealList(const QString& key, const QList<double>& value) override;

    // Data values.
    // A store larger than this is not read: no focus log or list comes near it (ten years of
    // stretches are 10 MB), and reading one that large would stall or kill every start.
    static constexpr qint64 largestFile = qint64(256) << 20;

    struct DataRead {
        // tooLarge: over largestFile, not read; the owner keeps it aside.
        enum class Status { absent, read, failed, tooLarge };
        Status status = Status::absent;
        QByteArray bytes;
        QString error; // why it failed
    };
    // Reads the file and remembers its identity for the next write. A file that exists but
    // cannot be read freezes the key: every later write is refused.
    DataRead readData(const QString& key);
    enum class DataWrite {
        written,
        changedOnDisk, // the file is not the one last read or written here: nothing written
        refused,       // the key is frozen
        failed,        // the write failed (logged)
    };
    // Never replaces a file whose identity changed since readData or the last write here. A
    // key never read here, or whose file is gone, is written without question.
    DataWrite writeData(const QString& key, const QByteArray& bytes, QString* error = nullptr);
    bool setData(const QString& key, const QByteArray& bytes) {
        return writeData(key, bytes) == DataWrite::written;
    }
    // writeData in three steps, so the write itself can run on another thread: prepareData
    // copies what it needs, runData touches only the file system, finishData (on the store's
    // thread again) records the outcome. Between prepareData and finishData the owner of the
    // key makes no other call for it.
    struct DataJob {
        QString path;
        bool frozen = false;
        std::optional<FileStamp> known; // the identity last read or written here
    };
    struct DataOutcome {
        DataWrite result = DataWrite::failed;
        FileStamp stamp; // of the file written
        QString error;   // why it failed
    };
    DataJob prepareData(const QString& key) const;
    static DataOutcome runData(const DataJob& job, const QByteArray& bytes);
    void finishData(const QString& key, const DataOutcome& outcome);
    // readData in two steps the same way: readFile runs anywhere, noteRead on the store's
    // thread records what readData would have.
    struct DataFile {
        DataRead read;
        FileStamp stamp;
    };
    static DataFile readFile(const QString& path);
    void noteRead(const QString& key, const DataFile& file);
    // The bytes on disk, without remembering anything; none when absent or unreadable.
    std::optional<QByteArray> data(const QString& key) const;
    // The owner found the document unreadable: keep it aside so the next save cannot
    // overwrite it. Answers the path it was moved to (empty when there was nothing to move; a
    // file that could not be moved freezes the key).
    // `why`, when given, is said in the same log line.
    QString keepAsideData(const QString& key, const QString& why = {});

    // Writes what a failed settings write left unsaved (the quit path); true when nothing is
    // left.
    bool flush();

  private:
    bool store(const QString& key, const QJsonValue& value);
    void load() const;
    bool save();
    // Merges the keys changed in this run into a settings file changed on disk; false when
    // nothing may be written.
    bool mergeChangedSettings();

    QString configDir_;
    QString dataDir_;
    mutable QJsonObject values_;
    mutable bool loaded_ = false;
    mutable bool frozen_ = false;
    mutable bool fresh_ = false;
    mutable FileStamp settingsStamp_;
    QSet<QString> changed_; // keys set or removed since the last write
    std::map<QString, FileStamp> dataStamps_;
    QSet<QString> frozenData_;
    SaveRetry retry_{QStringLiteral("settings"), [this] { save(); }};
};
