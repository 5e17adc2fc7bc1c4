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

void FileFeeder::tick(double t) {
    if (state.eaten() && t >= eatenUntil) state.setEaten(std::nullopt);
}

std::optional<double> FileFeeder::bubbleClosesAt() const {
    if (!state.eaten()) return std::nullopt;
    return eatenUntil;
}

void FileFeeder::cannotTrash(const QString& what, const QString& why) {
    Log::error(QStringLiteral("cannot trash %1: %2").arg(Log::priv(what), why));
    onNotice(S().cantTrash(captionName(nameOf(what))));
}

bool FileFeeder::feed(const QList<QUrl>& dropped) {
    if (stillEating()) {
        Log::error(QStringLiteral("refused a drop: the last one is still being eaten"));
        return false;
    }
    onWake();
    eatenFiles = std::make_shared<std::vector<Moved>>();
    meal.clear();
    mealLeft = 0;
    const MovedList list = eatenFiles;
    QPointer<FileFeeder> self(this);
    for (const QUrl& url : dropped) {
        QString why;
        const std::optional<QString> path = localPath(url, why);
        if (!path) {
            cannotTrash(url.toString(), why);
            continue;
        }
        // The moves go in order on the file thread; the answers come back between frames.
        meal.push_back(trashQueue().toTrash(
            *path, [self, list, original = *path](const TrashQueue::Outcome& o) {
                if (self) self->swallowed(list, original, o.skipped, o.item, o.error);
            }));
        ++mealLeft;
    }
    // The drop is answered at once, but with the disk's first verdicts when they are quick.
    QElapsedTimer waited;
    waited.start();
    for (const TrashQueue::Ticket& job : meal) {
        const qint64 left = verdictMilliseconds - waited.elapsed();
        if (!list->empty() || left <= 0 || !trashQueue().settle(job, int(left))) break;
    }
    if (list->empty() && !stillEating()) return false; // nothing could go: the file stays
    if (!list->empty()) showEaten(list);               // the bubble comes with the answer
    return true;
}

void FileFeeder::showEaten(const MovedList& list) {
    bubbleDue = false;
    CatState::Eaten eaten;
    eaten.names = namesOf(*list);
    QPointer<FileFeeder> self(this);
    eaten.undo = [self, list] {
        if (self) self->startPuttingBack(list);
    };
    state.setEaten(std::move(eaten));
    // The offer stands for eight seconds after the last file went in.
    eatenUntil = clock.seconds() + 8;
    onWake(); // a resting clock: the bubble's new size and end date
}

void FileFeeder::swallowed(const MovedList& list, const QString& original, bool skipped,
                           const std::optional<TrashedItem>& item, const QString& why) {
    const bool current = list == eatenFiles;
    if (current) --mealLeft;
    if (skipped) {
        // Put back before its turn came: the file never moved.
    } else if (!item) {
        cannotTrash(original, why);
    } else {
        list->push_back({original, *item});
        if (returning == list) {
            sendHome(list->back()); // it went in while the others were called back
        } else if (current && !bubbleDue) {
            // One bubble update for a run of answers handed out together.
            bubbleDue = true;
            QMetaObject::invokeMethod(
                this,
                [this, list] {
                    if (bubbleDue && list == eatenFiles && returning != list) showEaten(list);
                },
                Qt::QueuedConnection);
        }
    }
    if (returning == list) {
        finishPuttingBack();
    } else if (current && mealLeft == 0) {
        if (bubbleDue) showEaten(list); // the whole drop is in at once
        // Nothing of a slow drop could go after all: the cat stops chewing on air.
        if (list->empty()) onNothingEaten();
    }
}

void FileFeeder::startPuttingBack(const MovedList& list) {
    if (returning) return; // already on their way
    if (eatenFiles == list) {
        // Files of the drop not yet eaten stay where they are.
        for (const TrashQueue::Ticket& job : meal)
            trashQueue().cancel(job);
    }
    returning = list;
    returnLeft = 0;
    for (const Moved& m : *list)
        sendHome(m);
    finishPuttingBack();
}

void FileFeeder::sendHome(const Moved& m) {
    ++returnLeft;
    QPointer<FileFeeder> self(this);
    trashQueue().putBack(m.trashed, m.original, [self, m](const TrashQueue::Outcome& o) {
        if (self) self->cameHome(m, o.ok, o.error);
    });
}

void FileFeeder::cameHome(const Moved& m, bool ok, const QString& why) {
    --returnLeft;
    if (!ok) {
        Log::error(QStringLiteral("cannot put back %1: %2").arg(Log::priv(m.original), why));
        onNotice(S().cantPutBack(captionName(nameOf(m.original))));
    }
    finishPuttingBack();
}

void FileFeeder::finishPuttingBack() {
    if (!returning || returnLeft > 0 || (returning == eatenFiles && mealLeft > 0)) return;
    // All home that could go: the bubble of these files closes.
    if (eatenFiles == returning) state.setEaten(std::nullopt);
    returning.reset();
    onWake(); // a resting clock: the panel shrinks back around the cat
}
