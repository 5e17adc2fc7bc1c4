// Eating dropped files: they go to the Trash, and the bubble offers to put them back.

#include "base/Log.h"
#include "cat/CatOverlay.h"
#include "platform/Trash.h"
#include "strings/Strings.h"

#include <QElapsedTimer>
#include <QFile>

using K = Activity::Kind;

namespace {

// The main thread moves files for at most this long before the frame clock gets its turn.
constexpr qint64 biteNanoseconds = 4'000'000;

bool acceptsFood(const Activity& a) {
    switch (a.kind()) {
    case K::walking:
    case K::inBed:
    case K::idle:
    case K::petting:
    case K::snacking:
    case K::sleeping:
        return true;
    default:
        return false;
    }
}

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

QStringList namesOf(const std::vector<CatOverlay::Moved>& moved) {
    QStringList names;
    names.reserve(qsizetype(moved.size()));
    for (const CatOverlay::Moved& m : moved)
        names.append(m.original.section(QLatin1Char('/'), -1));
    return names;
}

} // namespace

bool CatOverlay::swallow(const QUrl& url) {
    QString why;
    const std::optional<QString> path = localPath(url, why);
    std::optional<QString> trashed;
    if (path) trashed = sys.trash.moveToTrash(*path, why);
    if (!trashed) {
        Log::error(QStringLiteral("cannot trash %1: %2")
                       .arg(Log::priv(path.value_or(url.toString())), why));
        return false;
    }
    eatenFiles->push_back({*path, *trashed});
    return true;
}

bool CatOverlay::feed(const QList<QUrl>& files) {
    if (!acceptsFood(activity)) return false;
    if (food.size() > foodNext) {
        Log::error(QStringLiteral("refused a drop: the last one is still being eaten"));
        return false;
    }
    // The drop is answered at once: files go down until the first one is in the Trash, and
    // the rest follow in bites between frames (a big drop must not stall the cat).
    food = files;
    foodNext = 0;
    eatenFiles = std::make_shared<std::vector<Moved>>();
    while (foodNext < food.size() && eatenFiles->empty())
        swallow(food[foodNext++]);
    if (eatenFiles->empty()) {
        food.clear();
        foodNext = 0;
        return false;
    }

    const double t = now();
    CatState::Eaten eaten;
    eaten.names = namesOf(*eatenFiles);
    QPointer<CatOverlay> self(this);
    const std::shared_ptr<std::vector<Moved>> list = eatenFiles;
    eaten.undo = [self, list] {
        if (self) self->startPuttingBack(list);
    };
    state.setEaten(std::move(eaten));
    eatenUntil = t + 8;
    bedHold = CatSprite::Hold::nothing; // a cat in bed drops its phone
    start(Activity::eating(), t);
    if (foodNext < food.size())
        QMetaObject::invokeMethod(this, &CatOverlay::eatMore, Qt::QueuedConnection);
    return true;
}

void CatOverlay::eatMore() {
    if (foodNext >= food.size() || !state.eaten()) return;
    QElapsedTimer bite;
    bite.start();
    const std::size_t before = eatenFiles->size();
    while (foodNext < food.size() && bite.nsecsElapsed() < biteNanoseconds)
        swallow(food[foodNext++]);
    if (eatenFiles->size() != before) {
        CatState::Eaten eaten{namesOf(*eatenFiles), state.eaten()->undo};
        state.setEaten(std::move(eaten));
        eatenUntil = now() + 8; // the offer stands for eight seconds after the last bite
        wake();                 // a resting clock: the bubble's new size and end date
    }
    if (foodNext < food.size()) {
        QMetaObject::invokeMethod(this, &CatOverlay::eatMore, Qt::QueuedConnection);
    } else {
        food.clear();
        foodNext = 0;
    }
}

void CatOverlay::startPuttingBack(const std::shared_ptr<std::vector<Moved>>& list) {
    if (returning) return; // already on their way
    if (eatenFiles == list) {
        // Files of the drop not yet eaten stay where they are.
        food.clear();
        foodNext = 0;
    }
    returning = list;
    returnNext = 0;
    putBackMore();
}

void CatOverlay::putBackMore() {
    if (!returning) return;
    QElapsedTimer bite;
    bite.start();
    while (returnNext < returning->size() && bite.nsecsElapsed() < biteNanoseconds)
        putBack((*returning)[returnNext++]);
    if (returnNext < returning->size()) {
        QMetaObject::invokeMethod(this, &CatOverlay::putBackMore, Qt::QueuedConnection);
        return;
    }
    // All home that could go: the bubble of these files closes.
    if (eatenFiles == returning) state.setEaten(std::nullopt);
    returning.reset();
    wake(); // a resting clock: the panel shrinks back around the cat
}

void CatOverlay::putBack(const Moved& m) {
    QString why;
    if (sys.trash.putBack(m.trashed, m.original, why)) return;
    Log::error(QStringLiteral("cannot put back %1: %2").arg(Log::priv(m.original), why));
    const QString text = S().cantPutBack(m.original.section(QLatin1Char('/'), -1));
    if (state.caption() != text) state.setCaption(text);
    // Not a timed caption: the timer leaves it until the notice has been read.
    captionByTimer = false;
    noticeUntil = now() + 8;
}
