#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The per-user settings store. Small values live in one JSON object,
// <config>/purrlox/settings.json; each data value ("focusLog", "reminders") is its own file
// <data>/purrlox/<key>.json holding exactly the document the model writes.
// Every write is atomic. A file that cannot be parsed is kept aside as
// <name>.unreadable-<timestamp> with one error log line, never overwritten in place.
class Defaults {
  public:
    // Folders are the parents of "purrlox/".
    Defaults(QString configHome, QString dataHome);

    // The store of this process: PURRLOX_CONFIG_HOME / PURRLOX_DATA_HOME, else the XDG folders.
    static Defaults& standard();
    static QString configHomeFromEnvironment();
    static QString dataHomeFromEnvironment();

    QString settingsPath() const;
    QString dataPath(const QString& key) const;

    bool contains(const QString& key) const;
    void remove(const QString& key);

    // Typed reads answer none when the key is absent or holds another kind of value.
    std::optional<bool> boolean(const QString& key) const;
    std::optional<qint64> integer(const QString& key) const;
    std::optional<double> real(const QString& key) const;
    std::optional<QString> text(const QString& key) const;
    std::optional<QStringList> textList(const QString& key) const;   // every element a text
    std::optional<QDateTime> date(const QString& key) const;         // seconds since 2001
    std::optional<QList<double>> realList(const QString& key) const; // every element a number
    QJsonValue raw(const QString& key) const;

    // Each setter writes the whole settings file atomically; false when the write failed
    // (the value is still kept in memory for this process).
    bool setBoolean(const QString& key, bool value);
    bool setInteger(const QString& key, qint64 value);
    bool setReal(const QString& key, double value);
    bool setText(const QString& key, const QString& value);
    bool setTextList(const QString& key, const QStringList& value);
    bool setDate(const QString& key, const QDateTime& value);
    bool setRealList(const QString& key, const QList<double>& value);

    // Data values. data() answers none when the file does not exist or cannot be read.
    std::optional<QByteArray> data(const QString& key) const;
    bool setData(const QString& key, const QByteArray& bytes);
    // The owner found the document unreadable: keep it aside so the next save cannot
    // overwrite it. Answers the path it was moved to (empty when there was nothing to move).
    QString keepAsideData(const QString& key);

    // Writes bytes atomically (temporary file, fsync, rename), creating the folder.
    static bool writeAtomically(const QString& path, const QByteArray& bytes);
    // Renames path to path.unreadable-<timestamp> (never replacing anything); answers the new path.
    static QString keepAside(const QString& path);

    // Test seam: runs after the data is durable and before the rename that publishes it.
    static inline void (*beforeRename)() = nullptr;

  private:
    bool store(const QString& key, const QJsonValue& value);
    void load() const;
    bool save();

    QString configDir_;
    QString dataDir_;
    mutable QJsonObject values_;
    mutable bool loaded_ = false;
    mutable bool frozen_ = false;
};
