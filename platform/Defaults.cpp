#include "platform/Defaults.h"

#include "base/Log.h"
#include "platform/StoredDate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>
#include <QStandardPaths>
#include <cmath>
#include <unistd.h>

namespace {

QString folderFromEnvironment(const char* ours, const char* xdg, const QString& fallback) {
    QString dir = qEnvironmentVariable(ours);
    if (dir.isEmpty()) dir = qEnvironmentVariable(xdg);
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir)) dir = fallback;
    return dir;
}

} // namespace

Defaults::Defaults(QString configHome, QString dataHome)
    : configDir_(QDir(configHome).filePath(QStringLiteral("purrlox"))),
      dataDir_(QDir(dataHome).filePath(QStringLiteral("purrlox"))) {}

Defaults& Defaults::standard() {
    static Defaults store(configHomeFromEnvironment(), dataHomeFromEnvironment());
    return store;
}

QString Defaults::configHomeFromEnvironment() {
    return folderFromEnvironment("PURRLOX_CONFIG_HOME", "XDG_CONFIG_HOME",
                                 QDir::homePath() + QStringLiteral("/.config"));
}

QString Defaults::dataHomeFromEnvironment() {
    return folderFromEnvironment("PURRLOX_DATA_HOME", "XDG_DATA_HOME",
                                 QDir::homePath() + QStringLiteral("/.local/share"));
}

QString Defaults::settingsPath() const {
    return configDir_ + QStringLiteral("/settings.json");
}

QString Defaults::dataPath(const QString& key) const {
    return dataDir_ + QLatin1Char('/') + key + QStringLiteral(".json");
}

void Defaults::load() const {
    if (loaded_) return;
    loaded_ = true;
    QFile file(settingsPath());
    if (!file.exists()) return;
    if (!file.open(QIODevice::ReadOnly)) {
        Log::error(QStringLiteral("settings: cannot read %1 (%2)")
                       .arg(Log::priv(settingsPath()), file.errorString()));
        return;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    file.close();
    if (error.error == QJsonParseError::NoError && doc.isObject()) {
        values_ = doc.object();
        return;
    }
    const QString aside = keepAside(settingsPath());
    // If it could not be moved, never write over it in this run.
    if (aside.isEmpty()) frozen_ = true;
    Log::error(QStringLiteral("settings: unreadable settings file kept as %1 (%2)")
                   .arg(Log::priv(aside), error.error == QJsonParseError::NoError
                                              ? QStringLiteral("not an object")
                                              : error.errorString()));
}

bool Defaults::save() {
    if (frozen_) return false;
    const QByteArray bytes = QJsonDocument(values_).toJson(QJsonDocument::Indented);
    if (writeAtomically(settingsPath(), bytes)) return true;
    Log::error(QStringLiteral("settings: could not write %1").arg(Log::priv(settingsPath())));
    return false;
}

bool Defaults::store(const QString& key, const QJsonValue& value) {
    load();
    if (values_.value(key) == value && values_.contains(key)) return true;
    values_.insert(key, value);
    return save();
}

bool Defaults::contains(const QString& key) const {
    load();
    return values_.contains(key);
}

void Defaults::remove(const QString& key) {
    load();
    if (!values_.contains(key)) return;
    values_.remove(key);
    save();
}

QJsonValue Defaults::raw(const QString& key) const {
    load();
    return values_.value(key);
}

std::optional<bool> Defaults::boolean(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isBool()) return std::nullopt;
    return v.toBool();
}

std::optional<qint64> Defaults::integer(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (d != std::floor(d) || std::abs(d) > 9.0e15) return std::nullopt;
    return qint64(d);
}

std::optional<double> Defaults::real(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isDouble()) return std::nullopt;
    return v.toDouble();
}

std::optional<QString> Defaults::text(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isString()) return std::nullopt;
    return v.toString();
}

std::optional<QStringList> Defaults::textList(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isArray()) return std::nullopt;
    QStringList out;
    for (const QJsonValue& e : v.toArray()) {
        if (!e.isString()) return std::nullopt;
        out << e.toString();
    }
    return out;
}

std::optional<QList<double>> Defaults::realList(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isArray()) return std::nullopt;
    QList<double> out;
    for (const QJsonValue& e : v.toArray()) {
        if (!e.isDouble()) return std::nullopt;
        out << e.toDouble();
    }
    return out;
}

std::optional<QDateTime> Defaults::date(const QString& key) const {
    const std::optional<double> s = real(key);
    if (!s || !std::isfinite(*s)) return std::nullopt;
    return StoredDate::fromSeconds(*s);
}

bool Defaults::setBoolean(const QString& key, bool value) {
    return store(key, value);
}
bool Defaults::setInteger(const QString& key, qint64 value) {
    return store(key, double(value));
}
bool Defaults::setReal(const QString& key, double value) {
    return store(key, value);
}
bool Defaults::setText(const QString& key, const QString& value) {
    return store(key, value);
}
bool Defaults::setRealList(const QString& key, const QList<double>& value) {
    QJsonArray array;
    for (double v : value)
        array.append(v);
    return store(key, array);
}
bool Defaults::setTextList(const QString& key, const QStringList& value) {
    return store(key, QJsonArray::fromStringList(value));
}
bool Defaults::setDate(const QString& key, const QDateTime& value) {
    return store(key, StoredDate::toSeconds(value));
}

std::optional<QByteArray> Defaults::data(const QString& key) const {
    QFile file(dataPath(key));
    if (!file.exists()) return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        Log::error(QStringLiteral("settings: cannot read %1 (%2)")
                       .arg(Log::priv(dataPath(key)), file.errorString()));
        return std::nullopt;
    }
    return file.readAll();
}

bool Defaults::setData(const QString& key, const QByteArray& bytes) {
    if (writeAtomically(dataPath(key), bytes)) return true;
    Log::error(QStringLiteral("settings: could not write %1").arg(Log::priv(dataPath(key))));
    return false;
}

QString Defaults::keepAsideData(const QString& key) {
    if (!QFileInfo::exists(dataPath(key))) return {};
    const QString aside = keepAside(dataPath(key));
    if (!aside.isEmpty())
        Log::error(QStringLiteral("settings: unreadable %1 kept as %2").arg(key, Log::priv(aside)));
    return aside;
}

bool Defaults::writeAtomically(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    // QSaveFile renames over the old file; make the data durable before it does.
    if (!file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    if (beforeRename) beforeRename();
    return file.commit();
}

QString Defaults::keepAside(const QString& path) {
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = path + QStringLiteral(".unreadable-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target =
            path + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') + QString::number(n);
    // rename() refuses to replace an existing file, so nothing older is lost either.
    if (!QFile::rename(path, target)) {
        Log::error(QStringLiteral("settings: could not keep %1 aside").arg(Log::priv(path)));
        return {};
    }
    return target;
}
