#include "platform/StoredArray.h"

#include "base/Log.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace {
constexpr int mostConflicts = 3;
}

StoredArray::StoredArray(SettingsStore& store, QString key, Voice voice,
                         std::function<void()> retry)
    : store_(store), key_(std::move(key)), voice_(std::move(voice)),
      retry_(voice_.name, std::move(retry)) {}

std::optional<QJsonArray> StoredArray::parse(const QByteArray& bytes, QString* error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError) {
        *error = QStringLiteral("%1 at offset %2").arg(parse.errorString()).arg(parse.offset);
        return std::nullopt;
    }
    if (!doc.isArray()) {
        *error = QStringLiteral("the document is not an array");
        return std::nullopt;
    }
    return doc.array();
}

std::optional<QByteArray> StoredArray::load() {
    SettingsStore::DataRead r = store_.readData(key_);
    if (r.status == SettingsStore::DataRead::Status::absent) return std::nullopt;
    if (r.status == SettingsStore::DataRead::Status::tooLarge) {
        // Never read, never saved over: the next save starts a new file beside it.
        if (store_.keepAsideData(key_, r.error).isEmpty())
            Log::error(
                QStringLiteral("cannot read %1: %2; %3").arg(voice_.name, r.error, voice_.frozen));
        return std::nullopt;
    }
    if (r.status == SettingsStore::DataRead::Status::failed) {
        // Not damaged, only unreadable now: it stays in place and is never saved over.
        Log::error(
            QStringLiteral("cannot read %1: %2; %3").arg(voice_.name, r.error, voice_.frozen));
        return std::nullopt;
    }
    return std::move(r.bytes);
}

bool StoredArray::damaged(const QString& why) {
    Log::error(QStringLiteral("cannot read %1: %2").arg(voice_.name, why));
    return !store_.keepAsideData(key_).isEmpty();
}

SettingsStore::DataFile StoredArray::readChanged() const {
    return SettingsStore::readFile(store_.dataPath(key_));
}

bool StoredArray::changed(const SettingsStore::DataFile& file) {
    store_.noteRead(key_, file);
    // Grown past what is read: kept aside like a damaged one, and ours is written anew.
    if (file.read.status == SettingsStore::DataRead::Status::tooLarge)
        return !store_.keepAsideData(key_, file.read.error).isEmpty();
    if (file.read.status != SettingsStore::DataRead::Status::failed) return true;
    Log::error(QStringLiteral("cannot save %1: %2 (%3)")
                   .arg(voice_.name, voice_.changed, file.read.error));
    return false;
}

StoredArray::Next StoredArray::settle(SettingsStore::DataWrite result, const QString& error) {
    switch (result) {
    case SettingsStore::DataWrite::written:
        conflicts_ = 0;
        retry_.succeeded();
        return Next::written;
    case SettingsStore::DataWrite::refused: // not loaded: the stored value is never replaced
        return Next::done;
    case SettingsStore::DataWrite::failed:
        // Everything unsaved stays in memory for the retry, the next save or the quit path.
        retry_.failed(error);
        return Next::done;
    case SettingsStore::DataWrite::changedOnDisk:
        if (++conflicts_ > mostConflicts) {
            conflicts_ = 0;
            Log::error(
                QStringLiteral("cannot save %1: the file keeps changing on disk").arg(voice_.name));
            return Next::done;
        }
        return Next::merge;
    }
    return Next::done;
}

void StoredArray::save(const std::function<std::optional<QByteArray>()>& encode,
                       const std::function<bool()>& merge, const std::function<void()>& onWritten) {
    for (;;) {
        const std::optional<QByteArray> bytes = encode();
        if (!bytes) return;
        QString error;
        switch (settle(store_.writeData(key_, *bytes, &error), error)) {
        case Next::written:
            onWritten();
            return;
        case Next::done:
            return;
        case Next::merge:
            if (!merge()) return;
            break;
        }
    }
}
