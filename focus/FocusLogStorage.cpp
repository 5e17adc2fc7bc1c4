// Where the focus log lives: loading (large logs off the main thread), saving, and merging with
// a file that changed on disk.
#include "base/Log.h"
#include "focus/FocusLog.h"
#include "focus/StretchCoding.h"
#include "platform/Defaults.h"

#include <QTimer>
#include <algorithm>

void FocusLog::load() {
    const QString key = QLatin1String(logKey);
    const Defaults::DataRead r = defaults_->readData(key);
    if (r.status == Defaults::DataRead::Status::absent) return;
    if (r.status == Defaults::DataRead::Status::failed) {
        // Not damaged, only unreadable now: it stays in place and is never saved over.
        Log::error(QStringLiteral("cannot read the focus log: %1; it stays as it is and no "
                                  "stretch is saved in this run")
                       .arg(r.error));
        return;
    }
    if (r.bytes.size() < backgroundBytes) {
        apply(decodeLog(r.bytes));
        return;
    }
    // Years of stretches take a while to decode: the cat does not wait for them. The thread
    // starts once start-up is done, so it does not compete with the cat's first frame.
    loading_ = true;
    storedBytes_ = r.bytes;
    QTimer::singleShot(0, this, [this] {
        if (!loading_) return; // already taken over by a save
        loader_ = std::thread([this, bytes = storedBytes_] {
            loaded_ = decodeLog(bytes);
            QMetaObject::invokeMethod(this, &FocusLog::completeLoading, Qt::QueuedConnection);
        });
    });
}

FocusLog::Loaded FocusLog::decodeLog(const QByteArray& bytes) {
    Loaded loaded;
    loaded.stretches = StretchCoding::decode(bytes, &loaded.error);
    if (loaded.stretches) {
        loaded.encoded = StretchCoding::elements(bytes);
        loaded.index.refresh(*loaded.stretches);
    }
    return loaded;
}

void FocusLog::completeLoading() {
    if (!loading_) return;
    if (loader_.joinable())
        loader_.join();
    else
        loaded_ = decodeLog(storedBytes_);
    storedBytes_.clear();
    loading_ = false;
    apply(std::move(loaded_));
    loaded_ = {};
    emit stretchesChanged();
    if (!unsaved_.isEmpty()) save();
}

void FocusLog::apply(Loaded loaded) {
    if (!loaded.stretches) {
        Log::error(QStringLiteral("cannot read the focus log: %1").arg(loaded.error));
        defaults_->keepAsideData(QLatin1String(logKey));
        return;
    }
    // Stretches finished while the log was loading come after the stored ones.
    QList<Stretch> all = std::move(*loaded.stretches);
    const qsizetype stored = all.size();
    all.append(stretches_);
    QByteArray encoded = std::move(loaded.encoded);
    if (!encoded.isEmpty() && !encoded_.isEmpty()) encoded += ',';
    encoded += encoded_;
    index_ = std::move(loaded.index);
    for (qsizetype i = stored; i < all.size(); ++i)
        index_.add(all[i], i);
    stretches_ = std::move(all);
    encoded_ = std::move(encoded);
}

void FocusLog::save() {
    if (!persists()) return;
    // Never write before the stored log is read: it would replace years with minutes.
    if (loading_) completeLoading();
    const QString key = QLatin1String(logKey);
    for (int attempt = 0; attempt < 3; ++attempt) {
        switch (defaults_->writeData(key, '[' + encoded_ + ']')) {
        case Defaults::DataWrite::written:
            unsaved_.clear();
            return;
        case Defaults::DataWrite::refused: // not loaded: the file on disk is never replaced
            return;
        case Defaults::DataWrite::failed:
            Log::error(QStringLiteral("cannot save the focus log: the file could not be written"));
            return;
        case Defaults::DataWrite::changedOnDisk:
            if (!mergeFromDisk()) return;
            break;
        }
    }
    Log::error(QStringLiteral("cannot save the focus log: the file keeps changing on disk"));
}

namespace {

// Stretches are never edited: when and in which sitting one started, and on what, is enough.
bool sameStretch(const FocusStretch& a, const FocusStretch& b) {
    return a.start == b.start && a.sitting == b.sitting && a.activity == b.activity;
}

} // namespace

bool FocusLog::mergeFromDisk() {
    const QString key = QLatin1String(logKey);
    const Defaults::DataRead r = defaults_->readData(key);
    if (r.status == Defaults::DataRead::Status::failed) {
        Log::error(QStringLiteral("cannot save the focus log: it changed on disk and cannot be "
                                  "read (%1)")
                       .arg(r.error));
        return false;
    }
    QList<Stretch> disk;
    QByteArray encoded;
    if (r.status == Defaults::DataRead::Status::read) {
        QString error;
        std::optional<QList<Stretch>> decoded = StretchCoding::decode(r.bytes, &error);
        if (!decoded) {
            // Someone left a damaged log: keep it beside ours rather than merge into it.
            Log::error(QStringLiteral("cannot read the focus log: %1").arg(error));
            return !defaults_->keepAsideData(key).isEmpty();
        }
        disk = std::move(*decoded);
        encoded = StretchCoding::elements(r.bytes);
    }
    // What is on disk wins; the stretches finished here since the last save join it.
    qsizetype added = 0;
    for (const Stretch& s : std::as_const(unsaved_)) {
        const bool there = std::any_of(disk.cbegin(), disk.cend(),
                                       [&](const Stretch& d) { return sameStretch(d, s); });
        if (there) continue;
        QString ignored;
        if (!encoded.isEmpty()) encoded += ',';
        encoded += StretchCoding::toBytes(*StretchCoding::encode(s, &ignored));
        disk.push_back(s);
        ++added;
    }
    Log::notice(QStringLiteral("focus: the focus log changed on disk; %1 new stretch(es) added "
                               "to the %2 there")
                    .arg(added)
                    .arg(disk.size() - added));
    stretches_ = std::move(disk);
    encoded_ = std::move(encoded);
    index_.clear();
    emit stretchesChanged();
    return true;
}
