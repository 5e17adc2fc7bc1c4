#pragma once

#include "platform/SaveRetry.h"
#include "platform/SettingsStore.h"

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <functional>
#include <optional>

// A data value of the settings store that its model keeps whole in memory and stores as one
// JSON array (the focus log, the reminder list): the one way such a value is read at start,
// kept aside when damaged, written again after a failure and merged when another writer
// changed it on disk. The owner decodes, encodes and merges; this decides what comes next and
// says it in the log.
class StoredArray {
  public:
    // How the log names the owner's value and what it says when it cannot be read.
    struct Voice {
        QString name;    // "the focus log": "cannot read the focus log: ..."
        QString frozen;  // follows the reason when it cannot be read at start
        QString changed; // "cannot save <name>: <changed> (<reason>)" for a changed, unreadable one
    };

    // retry: the owner's save, called again after a failed write (SaveRetry).
    StoredArray(SettingsStore& store, QString key, Voice voice, std::function<void()> retry);

    // The stored document as a JSON array; none, with the reason, when it is not one.
    static std::optional<QJsonArray> parse(const QByteArray& bytes, QString* error);

    SettingsStore& store() const { return store_; }
    const QString& key() const { return key_; }
    bool failing() const { return retry_.failing(); }

    // The stored bytes at start. None when there are none, or when the file cannot be read now
    // (logged once; it stays as it is and is never written over in this run).
    std::optional<QByteArray> load();
    // The owner could not decode what it read: one log line, and the file is kept aside so no
    // save overwrites it. True when a save may go ahead.
    bool damaged(const QString& why);
    // After a write found the file changed on disk: the file as it is now.
    SettingsStore::DataFile readChanged() const;
    // Takes what readChanged found (here or on another thread) as the file the next write
    // replaces. False when it cannot be read (logged; nothing more is written); otherwise the
    // owner decodes file.read.bytes (none when the file is gone) and merges.
    bool changed(const SettingsStore::DataFile& file);

    enum class Next {
        written, // on disk: the owner takes what it wrote as stored
        done,    // nothing more to do now (refused, failed and to be retried, or given up)
        merge,   // another writer changed the file: merge with it and write again
    };
    // What a write's outcome asks of the owner. A failed write keeps everything in memory and
    // is tried again; the fourth change on disk in a row gives up with one log line.
    Next settle(SettingsStore::DataWrite result, const QString& error);

    // The whole loop on this thread: encode (none: nothing is written), write, and on a change
    // on disk merge (false: stop) and write again. onWritten runs once the bytes are on disk.
    void save(const std::function<std::optional<QByteArray>()>& encode,
              const std::function<bool()>& merge, const std::function<void()>& onWritten);

  private:
    SettingsStore& store_;
    QString key_;
    Voice voice_;
    int conflicts_ = 0; // changes on disk met in a row
    SaveRetry retry_;
};
