#pragma once

#include <QDateTime>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The small values the models keep between runs (preferences, the last time something
// happened), by key. SettingsStore keeps them in the user's settings file; models depend on
// this interface only.
class Settings {
  public:
    virtual ~Settings() = default;

    virtual bool contains(const QString& key) const = 0;
    virtual void remove(const QString& key) = 0;

    // Typed reads answer none when the key is absent or holds another kind of value.
    virtual std::optional<bool> boolean(const QString& key) const = 0;
    virtual std::optional<qint64> integer(const QString& key) const = 0;
    virtual std::optional<double> real(const QString& key) const = 0;
    virtual std::optional<QString> text(const QString& key) const = 0;
    virtual std::optional<QStringList> textList(const QString& key) const = 0; // all texts
    virtual std::optional<QDateTime> date(const QString& key) const = 0;       // seconds since 2001
    virtual std::optional<QList<double>> realList(const QString& key) const = 0; // all numbers
    virtual QJsonValue raw(const QString& key) const = 0;

    // Each setter saves at once; false when the value could not be saved (it is still kept in
    // memory, and a failed save is tried again).
    virtual bool setBoolean(const QString& key, bool value) = 0;
    virtual bool setInteger(const QString& key, qint64 value) = 0;
    virtual bool setReal(const QString& key, double value) = 0;
    virtual bool setText(const QString& key, const QString& value) = 0;
    virtual bool setTextList(const QString& key, const QStringList& value) = 0;
    virtual bool setDate(const QString& key, const QDateTime& value) = 0;
    virtual bool setRealList(const QString& key, const QList<double>& value) = 0;
};
