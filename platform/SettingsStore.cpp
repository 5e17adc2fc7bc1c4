#include "platform/SettingsStore.h"

#include "base/Log.h"
#include "platform/AtomicFile.h"
#include "platform/FileError.h"
#include "platform/StoredDate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString folderFromEnvironment(const char* ours, const char* xdg, const QString& fallback) {
    QString dir = qEnvironmentVariable(ours);
    if (dir.isEmpty()) dir = qEnvironmentVariable(xdg);
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir)) dir = fallback;
    return dir;
}

struct FileRead {
    SettingsStore::DataRead::Status status = SettingsStore::DataRead::Status::absent;
    QByteArray bytes;
    QString error;
    FileStamp stamp; // of the file the bytes came from
};

QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return QStringLiteral("a FIFO");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("a device");
    if (S_ISDIR(mode)) return QStringLiteral("a folder");
    return QStringLiteral("not a regular file");
}

QString errorText(int error) {
    return FileError::text(error);
}

// Absent only when the file surely is not there; any other failure to open or read it
// (permission, I/O, too many open files, something that is not a regular file) is a failure,
// never an empty or damaged file.
FileRead readRegularFile(const QString& path) {
    FileRead r;
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening a FIFO waits for a writer, and opening a device
    // can act on it.
    struct stat st {};
    // A file that is gone is absent; anything else that stops the read is a failure.
    const auto failed = [&r, &path](const QString& why) {
        r.stamp = FileStamp::ofPath(path);
        if (!r.stamp.exists) return r;
        r.status = SettingsStore::DataRead::Status::failed;
        r.error = why;
        return r;
    };
    if (::stat(name.constData(), &st) != 0) return failed(errorText(errno));
    if (!S_ISREG(st.st_mode)) return failed(kindOf(st.st_mode));
    // Non-blocking, and checked again once open, for a file swapped in the meantime.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failed(errorText(errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        r.stamp = FileStamp::ofPath(path);
        r.status = SettingsStore::DataRead::Status::failed;
        r.error = kindOf(st.st_mode);
        return r;
    }
    if (st.st_size > SettingsStore::largestFile) {
        ::close(fd);
        r.stamp = FileStamp::ofPath(path);
        r.status = SettingsStore::DataRead::Status::tooLarge;
        r.error = QStringLiteral("%1 MB, more than the %2 MB a store may hold")
                      .arg(st.st_size >> 20)
                      .arg(SettingsStore::largestFile >> 20);
        return r;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        r.stamp = FileStamp::ofPath(path);
        r.status = SettingsStore::DataRead::Status::failed;
        r.error = file.errorString();
        return r;
    }
    r.stamp = FileStamp::ofDescriptor(fd);
    r.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || r.bytes.size() < r.stamp.size) {
        r.status = SettingsStore::DataRead::Status::failed;
        r.error = file.errorString();
        r.bytes.clear();
        return r;
    }
    r.status = SettingsStore::DataRead::Status::read;
    return r;
}

} // namespace

SettingsStore::SettingsStore(QString configHome, QString dataHome)
    : configDir_(QDir(configHome).filePath(QStringLiteral("purrlox"))),
      dataDir_(QDir(dataHome).filePath(QStringLiteral("purrlox"))) {}

SettingsStore& SettingsStore::standard() {
    static SettingsStore store(configHomeFromEnvironment(), dataHomeFromEnvironment());
    return store;
}

QString SettingsStore::configHomeFromEnvironment() {
    return folderFromEnvironment("PURRLOX_CONFIG_HOME", "XDG_CONFIG_HOME",
                                 QDir::homePath() + QStringLiteral("/.config"));
}

QString SettingsStore::dataHomeFromEnvironment() {
    return folderFromEnvironment("PURRLOX_DATA_HOME", "XDG_DATA_HOME",
                                 QDir::homePath() + QStringLiteral("/.local/share"));
}

QString SettingsStore::settingsPath() const {
    return configDir_ + QStringLiteral("/settings.json");
}

QString SettingsStore::dataPath(const QString& key) const {
    return dataDir_ + QLatin1Char('/') + key + QStringLiteral(".json");
}

void SettingsStore::load() const {
    if (loaded_) return;
    loaded_ = true;
    const FileRead r = readRegularFile(settingsPath());
    settingsStamp_ = r.stamp;
    fresh_ = r.status == DataRead::Status::absent;
    if (fresh_) return;
    if (r.status == DataRead::Status::failed) {
        frozen_ = true;
        Log::error(QStringLiteral("settings: cannot read %1 (%2); it stays as it is and no "
                                  "setting is saved in this run")
                       .arg(Log::priv(settingsPath()), r.error));
        return;
    }
    QJsonParseError error{};
    const QJsonDocument doc = r.status == DataRead::Status::read
                                  ? QJsonDocument::fromJson(r.bytes, &error)
                                  : QJsonDocument();
    if (r.status == DataRead::Status::read && error.error == QJsonParseError::NoError &&
        doc.isObject()) {
        values_ = doc.object();
        return;
    }
    const QString aside = AtomicFile::keepAside(settingsPath());
    // If it could not be moved, never write over it in this run.
    if (aside.isEmpty()) frozen_ = true;
    settingsStamp_ = FileStamp::ofPath(settingsPath());
    Log::error(QStringLiteral("settings: unreadable settings file kept as %1 (%2)")
                   .arg(Log::priv(aside), r.status == DataRead::Status::tooLarge ? r.error
                                          : error.error == QJsonParseError::NoError
                                              ? QStringLiteral("not an object")
                                              : error.errorString()));
}

bool SettingsStore::save() {
    if (frozen_) return false;
    const FileStamp onDisk = FileStamp::ofPath(settingsPath());
    if (onDisk.exists && onDisk != settingsStamp_ && !mergeChangedSettings()) return false;
    const QByteArray bytes = QJsonDocument(values_).toJson(QJsonDocument::Indented);
    FileStamp stamp;
    QString error;
    if (AtomicFile::write(settingsPath(), bytes, &stamp, &error)) {
        settingsStamp_ = stamp;
        changed_.clear();
        retry_.succeeded();
        return true;
    }
    // The values stay in memory: the retry, the next setter or the quit path writes them.
    retry_.failed(error);
    return false;
}

bool SettingsStore::flush() {
    if (!retry_.failing() || save()) return true;
    Log::error(QStringLiteral("settings: the last changes could not be saved before quitting"));
    return false;
}

bool SettingsStore::mergeChangedSettings() {
    const FileRead r = readRegularFile(settingsPath());
    if (r.status == DataRead::Status::failed) {
        frozen_ = true;
        Log::error(QStringLiteral("settings: %1 changed on disk and cannot be read (%2); no "
                                  "setting is saved in this run")
                       .arg(Log::priv(settingsPath()), r.error));
        return false;
    }
    settingsStamp_ = r.stamp;
    if (r.status == DataRead::Status::absent) return true;
    QJsonParseError error{};
    const QJsonDocument doc = r.status == DataRead::Status::read
                                  ? QJsonDocument::fromJson(r.bytes, &error)
                                  : QJsonDocument();
    if (r.status != DataRead::Status::read || error.error != QJsonParseError::NoError ||
        !doc.isObject()) {
        const QString aside = AtomicFile::keepAside(settingsPath());
        if (aside.isEmpty()) {
            frozen_ = true;
            return false;
        }
        Log::error(
            QStringLiteral("settings: unreadable settings file kept as %1").arg(Log::priv(aside)));
        return true;
    }
    // What is on disk wins, except for the values this run has set or removed.
    QJsonObject merged = doc.object();
    for (const QString& key : std::as_const(changed_)) {
        if (values_.contains(key))
            merged.insert(key, values_.value(key));
        else
            merged.remove(key);
    }
    values_ = merged;
    Log::notice(QStringLiteral("settings: %1 changed on disk; this run's changes are merged "
                               "into it")
                    .arg(Log::priv(settingsPath())));
    return true;
}

bool SettingsStore::store(const QString& key, const QJsonValue& value) {
    load();
    if (values_.value(key) == value && values_.contains(key)) return true;
    values_.insert(key, value);
    changed_.insert(key);
    return save();
}

bool SettingsStore::fresh() const {
    load();
    return fresh_;
}

bool SettingsStore::contains(const QString& key) const {
    load();
    return values_.contains(key);
}

void SettingsStore::remove(const QString& key) {
    load();
    if (!values_.contains(key)) return;
    values_.remove(key);
    changed_.insert(key);
    save();
}

QJsonValue SettingsStore::raw(const QString& key) const {
    load();
    return values_.value(key);
}

std::optional<bool> SettingsStore::boolean(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isBool()) return std::nullopt;
    return v.toBool();
}

std::optional<qint64> SettingsStore::integer(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (d != std::floor(d) || std::abs(d) > 9.0e15) return std::nullopt;
    return qint64(d);
}

std::optional<double> SettingsStore::real(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isDouble()) return std::nullopt;
    return v.toDouble();
}

std::optional<QString> SettingsStore::text(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isString()) return std::nullopt;
    return v.toString();
}

std::optional<QStringList> SettingsStore::textList(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isArray()) return std::nullopt;
    QStringList out;
    for (const QJsonValue& e : v.toArray()) {
        if (!e.isString()) return std::nullopt;
        out << e.toString();
    }
    return out;
}

std::optional<QList<double>> SettingsStore::realList(const QString& key) const {
    const QJsonValue v = raw(key);
    if (!v.isArray()) return std::nullopt;
    QList<double> out;
    for (const QJsonValue& e : v.toArray()) {
        if (!e.isDouble()) return std::nullopt;
        out << e.toDouble();
    }
    return out;
}

std::optional<QDateTime> SettingsStore::date(const QString& key) const {
    const std::optional<double> s = real(key);
    if (!s || !std::isfinite(*s)) return std::nullopt;
    return StoredDate::fromSeconds(*s);
}

bool SettingsStore::setBoolean(const QString& key, bool value) {
    return store(key, value);
}
bool SettingsStore::setInteger(const QString& key, qint64 value) {
    return store(key, double(value));
}
bool SettingsStore::setReal(const QString& key, double value) {
    return store(key, value);
}
bool SettingsStore::setText(const QString& key, const QString& value) {
    return store(key, value);
}
bool SettingsStore::setRealList(const QString& key, const QList<double>& value) {
    QJsonArray array;
    for (double v : value)
        array.append(v);
    return store(key, array);
}
bool SettingsStore::setTextList(const QString& key, const QStringList& value) {
    return store(key, QJsonArray::fromStringList(value));
}
bool SettingsStore::setDate(const QString& key, const QDateTime& value) {
    return store(key, StoredDate::toSeconds(value));
}

SettingsStore::DataRead SettingsStore::readData(const QString& key) {
    DataFile file = readFile(dataPath(key));
    noteRead(key, file);
    return std::move(file.read);
}

SettingsStore::DataFile SettingsStore::readFile(const QString& path) {
    FileRead r = readRegularFile(path);
    return {{r.status, std::move(r.bytes), r.error}, r.stamp};
}

void SettingsStore::noteRead(const QString& key, const DataFile& file) {
    dataStamps_[key] = file.stamp;
    if (file.read.status == DataRead::Status::failed) frozenData_.insert(key);
}

SettingsStore::DataWrite SettingsStore::writeData(const QString& key, const QByteArray& bytes,
                                                  QString* error) {
    const DataOutcome outcome = runData(prepareData(key), bytes);
    finishData(key, outcome);
    if (error) *error = outcome.error;
    return outcome.result;
}

SettingsStore::DataJob SettingsStore::prepareData(const QString& key) const {
    DataJob job;
    job.path = dataPath(key);
    job.frozen = frozenData_.contains(key);
    if (const auto known = dataStamps_.find(key); known != dataStamps_.end())
        job.known = known->second;
    return job;
}

SettingsStore::DataOutcome SettingsStore::runData(const DataJob& job, const QByteArray& bytes) {
    DataOutcome outcome;
    if (job.frozen) {
        outcome.result = DataWrite::refused;
        return outcome;
    }
    const FileStamp onDisk = FileStamp::ofPath(job.path);
    if (onDisk.exists && job.known && onDisk != *job.known) {
        outcome.result = DataWrite::changedOnDisk;
        return outcome;
    }
    outcome.result = AtomicFile::write(job.path, bytes, &outcome.stamp, &outcome.error)
                         ? DataWrite::written
                         : DataWrite::failed;
    return outcome;
}

void SettingsStore::finishData(const QString& key, const DataOutcome& outcome) {
    if (outcome.result == DataWrite::written) dataStamps_[key] = outcome.stamp;
}

std::optional<QByteArray> SettingsStore::data(const QString& key) const {
    FileRead r = readRegularFile(dataPath(key));
    if (r.status != DataRead::Status::read) return std::nullopt;
    return std::move(r.bytes);
}

QString SettingsStore::keepAsideData(const QString& key, const QString& why) {
    if (!QFileInfo::exists(dataPath(key))) return {};
    const QString aside = AtomicFile::keepAside(dataPath(key));
    if (aside.isEmpty()) {
        frozenData_.insert(key);
        return {};
    }
    dataStamps_[key] = FileStamp::ofPath(dataPath(key));
    Log::error(QStringLiteral("settings: unreadable %1 kept as %2%3")
                   .arg(key, Log::priv(aside),
                        why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
    return aside;
}
