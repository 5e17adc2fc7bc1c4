#include "cat/FileFeeder.h"

#include "base/Log.h"
#include "cat/CatState.h"
#include "platform/Clock.h"
#include "strings/Strings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>

namespace {

// How long a drop waits for the disk's first verdict, so that a drop of which nothing can go
// is refused to its source; a slower disk gets a yes at once and the cat reports failures as
// they come.
constexpr int verdictMilliseconds = 150;

// The local path a dropped URL names, or none when the name cannot be carried as text: a name
// with bytes that are not UTF-8 would come back as a different path, and another file might
// bear that one.
std::optional<QString> localPath(const QUrl& url, QString& why) {
    if (!url.isLocalFile()) {
        why = QStringLiteral("not a local file");
        return std::nullopt;
    }
    QString path = url.toLocalFile();
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
    if (QFile::encodeName(path) != bytes) {
        why = QStringLiteral("the file name is not valid UTF-8");
        return std::nullopt;
    }
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1); // a folder's URL may end in a slash; its name is the part before
    return path;
}

QString nameOf(const QString& path) {
    return path.section(QLatin1Char('/'), -1);
}

// A file name short enough for a caption over the cat: the middle of a long one gives way.
QString captionName(const QString& name) {
    if (name.size() <= 18) return name;
    return name.left(9) + QStringLiteral("…") + name.right(8);
}

QStringList namesOf(const std::vector<FileFeeder::Moved>& moved) {
    QStringList names;
    names.reserve(qsizetype(moved.size()));
    for (const FileFeeder::Moved& m : moved)
        names.append(nameOf(m.original));
    return names;
}

} // namespace

TrashQueue& FileFeeder::trashQueue() {
    if (!files) files = std::make_unique<TrashQueue>(trash);
    return *files;
}

FileFeeder::FileFeeder(Trash& trash, Clock& clock, CatState& state)
    : trash(trash), clock(clock), state(state) {}

FileFeeder::~FileFeeder() = default;

std::optional<double> FileFeeder::bubbleClosesAt() const {
    if (!state.eaten()) return std::nullopt;
    return eatenUntil;
}

void FileFeeder::cannotTrash(const QString& what, const QString& why) {
    Log::error(QStringLiteral("cannot trash %1: %2").arg(Log::priv(what), why));
    onNotice(S().cantTrash(captionName(nameOf(what))));
}

bool FileFeeder::feed(const QList<QUrl>& dropped) {
    onWake();
    // A drop while the last one still goes down queues behind it: the file thread moves in
    // order, and the bubble and its undo are about the newest drop.
    const DropPtr drop = std::make_shared<Drop>();
    current = drop;
    QPointer<FileFeeder> self(this);
    for (const QUrl& url : dropped) {
        QString why;
        const std::optional<QString> path = localPath(url, why);
        if (!path) {
            cannotTrash(url.toString(), why);
            continue;
        }
        // The moves go in order on the file thread; the answers come back between frames.
        drop->moves.push_back(trashQueue().toTrash(
            *path, [self, drop, original = *path](const TrashQueue::Outcome& o) {
                if (self) self->swallowed(drop, original, o.skipped, o.item, o.error);
            }));
        ++drop->left;
        ++movesLeft;
    }
    // The drop is answered at once, but with the disk's first verdicts when they are quick.
    QElapsedTimer waited;
    waited.start();
    for (const TrashQueue::Ticket& job : drop->moves) {
        const qint64 left = verdictMilliseconds - waited.elapsed();
        if (!drop->eaten.empty() || left <= 0 || !trashQueue().settle(job, int(left))) break;
    }
    if (drop->eaten.empty() && drop->left == 0) return false; // nothing could go: it stays
    if (!drop->eaten.empty()) showEaten(drop);                // the bubble comes with the answer
    return true;
}

void FileFeeder::showEaten(const DropPtr& drop) {
    bubbleDue = false;
    shown = drop;
    CatState::Eaten eaten;
    eaten.names = namesOf(drop->eaten);
    QPointer<FileFeeder> self(this);
    eaten.undo = [self, drop] {
        if (self) self->startPuttingBack(drop);
    };
    state.setEaten(std::move(eaten));
    // The offer stands for eight seconds after the last file went in.
    eatenUntil = clock.seconds() + 8;
    onWake(); // a resting clock: the bubble's new size and end date
}

void FileFeeder::swallowed(const DropPtr& drop, const QString& original, bool skipped,
                           const std::optional<TrashedItem>& item, const QString& why) {
    const bool isCurrent = drop == current;
    --drop->left;
    --movesLeft;
    if (skipped) {
        // Put back before its turn came: the file never moved.
    } else if (!item) {
        cannotTrash(original, why);
    } else {
        drop->eaten.push_back({original, *item});
        if (drop->returning) {
            sendHome(drop, drop->eaten.back()); // it went in while the others were called back
        } else if (isCurrent && !bubbleDue) {
            // One bubble update for a run of answers handed out together.
            bubbleDue = true;
            QMetaObject::invokeMethod(
                this,
                [this, drop] {
                    if (bubbleDue && drop == current && !drop->returning) showEaten(drop);
                },
                Qt::QueuedConnection);
        }
    }
    if (drop->returning) {
        finishPuttingBack(drop);
    } else if (isCurrent && drop->left == 0) {
        if (bubbleDue) showEaten(drop); // the whole drop is in at once
        // Nothing of a slow drop could go after all: the cat stops chewing on air.
        if (drop->eaten.empty()) onNothingEaten();
    }
}

void FileFeeder::startPuttingBack(const DropPtr& drop) {
    if (returningDrops > 0) return; // already on their way
    // Files of the drop not yet eaten stay where they are.
    for (const TrashQueue::Ticket& job : drop->moves)
        trashQueue().cancel(job);
    drop->returning = true;
    ++returningDrops;
    drop->homeLeft = 0;
    for (const Moved& m : drop->eaten)
        sendHome(drop, m);
    finishPuttingBack(drop);
}

void FileFeeder::sendHome(const DropPtr& drop, const Moved& m) {
    ++drop->homeLeft;
    QPointer<FileFeeder> self(this);
    trashQueue().putBack(m.trashed, m.original, [self, drop, m](const TrashQueue::Outcome& o) {
        if (self) self->cameHome(drop, m, o.ok, o.error);
    });
}

void FileFeeder::cameHome(const DropPtr& drop, const Moved& m, bool ok, const QString& why) {
    --drop->homeLeft;
    if (!ok) {
        Log::error(QStringLiteral("cannot put back %1: %2").arg(Log::priv(m.original), why));
        onNotice(S().cantPutBack(captionName(nameOf(m.original))));
    }
    finishPuttingBack(drop);
}

void FileFeeder::finishPuttingBack(const DropPtr& drop) {
    if (!drop->returning || drop->homeLeft > 0 || drop->left > 0) return;
    // All home that could go: the bubble of these files closes.
    if (shown == drop) {
        state.setEaten(std::nullopt);
        shown.reset();
    }
    drop->returning = false;
    --returningDrops;
    onWake(); // a resting clock: the panel shrinks back around the cat
}
