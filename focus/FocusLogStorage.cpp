// Where the focus log lives: loading (large logs off the main thread), saving (always off the
// main thread), and merging with a file that changed on disk.
#include "base/Log.h"
#include "focus/FocusLog.h"
#include "focus/StretchCoding.h"
#include "platform/SettingsStore.h"

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <future>

void FocusLog::load() {
    std::optional<QByteArray> bytes = storage_->load();
    if (!bytes) return;
    if (bytes->size() < backgroundBytes) {
        apply(decodeLog(*bytes));
        return;
    }
    // Years of stretches take a while to decode: the cat does not wait for them. The thread
    // starts once start-up is done, so it does not compete with the cat's first frame.
    loading_ = true;
    storedBytes_ = std::move(*bytes);
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
        // Room for the stretches still to come, so the first one finished after a long log is
        // in does not move all of them on the main thread.
        loaded.stretches->reserve(loaded.stretches->size() + 1024);
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
        storage_->damaged(loaded.error);
        return;
    }
    // Stretches finished while the log was loading come after the stored ones; they are
    // still unsaved, since a save waits for the stored log.
    QList<Stretch> all = std::move(*loaded.stretches);
    const qsizetype stored = all.size();
    all.append(stretches_);
    index_ = std::move(loaded.index);
    for (qsizetype i = stored; i < all.size(); ++i)
        index_.add(all[i], i);
    stretches_ = std::move(all);
    stored_ = std::move(loaded.encoded);
}

namespace {

// Stretches are never edited: when and in which sitting one started, and on what, is enough.
bool sameStretch(const FocusStretch& a, const FocusStretch& b) {
    return a.start == b.start && a.sitting == b.sitting && a.activity == b.activity;
}

} // namespace

void FocusLog::save() {
    if (!persists()) return;
    // Never write before the stored log is read: it would replace years with minutes. Taking
    // it in saves what is new.
    if (loading_) {
        completeLoading();
        return;
    }
    // One save at a time; when it ends, the stretches finished meanwhile follow.
    if (saving_.valid()) return;
    startSave();
}

bool FocusLog::startSave() {
    const SettingsStore::DataJob job = defaults_->prepareData(QLatin1String(logKey));
    // Not loaded: the file on disk is never replaced (said once, at start).
    if (job.frozen) return false;
    savingCount_ = unsaved_.size();
    const quint64 number = ++saveNumber_;
    saving_ = std::async(std::launch::async, [this, number, job, stored = stored_,
                                              added = unsavedBytes_.first(savingCount_),
                                              pending = unsaved_.first(savingCount_)] {
        qsizetype size = stored.size() + 2;
        for (const QByteArray& a : added)
            size += a.size() + 1;
        QByteArray bytes;
        bytes.reserve(size);
        bytes += '[';
        bytes += stored;
        for (const QByteArray& a : added) {
            if (bytes.size() > 1) bytes += ',';
            bytes += a;
        }
        bytes += ']';
        Saved saved;
        saved.outcome = SettingsStore::runData(job, bytes);
        if (saved.outcome.result == SettingsStore::DataWrite::written)
            saved.stored = bytes.sliced(1, bytes.size() - 2);
        bytes = {};
        // Another writer replaced the file: read and decode it here too, for the merge.
        if (saved.outcome.result == SettingsStore::DataWrite::changedOnDisk) {
            saved.disk = SettingsStore::readFile(job.path);
            if (saved.disk->read.status == SettingsStore::DataRead::Status::read) {
                saved.decoded = decodeLog(saved.disk->read.bytes);
                saved.disk->read.bytes = {};
            }
            for (const Stretch& s : pending)
                saved.there.push_back(
                    saved.decoded.stretches &&
                    std::any_of(saved.decoded.stretches->cbegin(), saved.decoded.stretches->cend(),
                                [&](const Stretch& d) { return sameStretch(d, s); }));
        }
        QMetaObject::invokeMethod(
            this, [this, number] { saveMayHaveFinished(number); }, Qt::QueuedConnection);
        return saved;
    });
    return true;
}

void FocusLog::saveMayHaveFinished(quint64 number) {
    // A save flush() already took over must not make the main thread wait for a later one.
    if (number != saveNumber_ || !saving_.valid()) return;
    // The thread posts just before it hands its outcome over: never wait for it here.
    if (saving_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        QTimer::singleShot(1, this, [this, number] { saveMayHaveFinished(number); });
        return;
    }
    saveFinished();
}

void FocusLog::saveFinished() {
    if (!saving_.valid()) return; // already taken over by flush()
    Saved saved = saving_.get();
    const QString key = QLatin1String(logKey);
    defaults_->finishData(key, saved.outcome);
    switch (storage_->settle(saved.outcome.result, saved.outcome.error)) {
    case StoredArray::Next::written:
        stored_ = std::move(saved.stored);
        unsaved_.remove(0, savingCount_);
        unsavedBytes_.remove(0, savingCount_);
        if (!unsaved_.isEmpty()) startSave();
        return;
    case StoredArray::Next::done:
        return;
    case StoredArray::Next::merge:
        if (mergeFromDisk(saved)) startSave();
        return;
    }
}

bool FocusLog::flush() {
    if (!persists()) return true;
    if (loading_) completeLoading(); // saves what was finished meanwhile
    bool tried = false;
    // Each round takes over one save; one may start the next (the rest, or after a merge).
    for (int round = 0; round < 16; ++round) {
        if (saving_.valid()) {
            saving_.wait();
            saveFinished();
            continue;
        }
        if (unsaved_.isEmpty()) return true;
        // After a failure, one more try now: the space may be back.
        if (tried || !startSave()) break;
        tried = true;
    }
    if (saving_.valid()) {
        saving_.wait();
        saveFinished();
    }
    return unsaved_.isEmpty();
}

bool FocusLog::mergeFromDisk(Saved& saved) {
    if (!storage_->changed(*saved.disk)) return false;
    const SettingsStore::DataRead& r = saved.disk->read;
    QList<Stretch> disk;
    QByteArray encoded;
    FocusDayIndex index;
    if (r.status == SettingsStore::DataRead::Status::read) {
        // Someone left a damaged log: keep it beside ours rather than merge into it.
        if (!saved.decoded.stretches) return storage_->damaged(saved.decoded.error);
        disk = std::move(*saved.decoded.stretches);
        encoded = std::move(saved.decoded.encoded);
        index = std::move(saved.decoded.index);
    }
    // What is on disk wins; the stretches finished here since the last save join it.
    for (qsizetype i = saved.there.size() - 1; i >= 0; --i) {
        if (!saved.there[i]) continue;
        unsaved_.removeAt(i);
        unsavedBytes_.removeAt(i);
    }
    Log::notice(QStringLiteral("focus: the focus log changed on disk; %1 new stretch(es) added "
                               "to the %2 there")
                    .arg(unsaved_.size())
                    .arg(disk.size()));
    const qsizetype onDisk = disk.size();
    disk.append(unsaved_);
    for (qsizetype i = onDisk; i < disk.size(); ++i)
        index.add(disk[i], i);
    stretches_ = std::move(disk);
    stored_ = std::move(encoded);
    index_ = std::move(index);
    emit stretchesChanged();
    return true;
}
