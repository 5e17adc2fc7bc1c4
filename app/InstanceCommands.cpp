#include "app/InstanceCommands.h"

#include "base/Log.h"
#include "focus/Pomodoro.h"
#include "menu/PawIcon.h"
#include "strings/Countdown.h"
#include "strings/Strings.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

namespace {

// A command is a few words; a longer line is no start of ours.
constexpr qint64 longestCommand = 256;

} // namespace

InstanceCommands::InstanceCommands(Pomodoro& pomodoro, std::function<void()> open, QObject* parent)
    : QObject(parent), pomodoro_(pomodoro), open_(std::move(open)) {
    connect(&pomodoro_, &Pomodoro::phaseChanged, this, &InstanceCommands::tellFollowers);
    connect(&pomodoro_, &Pomodoro::nowChanged, this, &InstanceCommands::tellFollowers);
    connect(&pomodoro_, &Pomodoro::activityChanged, this, &InstanceCommands::tellFollowers);
}

InstanceCommands::~InstanceCommands() {
    for (const Follower& f : followers_)
        f.socket->deleteLater();
}

QString InstanceCommands::status(bool json, bool minutes) const {
    const Pomodoro::Phase& phase = pomodoro_.phase();
    const std::optional<double> left = pomodoro_.remaining();
    QString line;
    QString text = QStringLiteral("🐾");
    QString kind = QStringLiteral("off");
    if (phase.isOff() || !left) {
        line = S().timerOff();
    } else {
        const bool working = phase.kind == Pomodoro::Phase::Kind::work;
        const QString clock =
            minutes ? S().minutes(PawIcon::shownMinutes(*left)) : countdown(*left);
        line = S().focusStatus(working, clock, working ? pomodoro_.activity() : QString());
        text += QStringLiteral(" ") + clock;
        kind = working ? QStringLiteral("work") : QStringLiteral("break");
    }
    if (!json) return line;
    const QJsonObject out{{"text", text}, {"tooltip", line}, {"class", kind}, {"alt", kind}};
    return QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact));
}

void InstanceCommands::take(QLocalSocket* socket, const QByteArray& command) {
    socket->setParent(this);
    const QByteArray raw = command.left(longestCommand).trimmed();
    const QStringList words = QString::fromUtf8(raw.mid(1)).split(u' ', Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    const QStringList rest = words.mid(1);
    if (verb == QLatin1String("status")) {
        const bool json = rest.contains(QLatin1String("json"));
        if (!rest.contains(QLatin1String("follow"))) {
            answer(socket, status(json, false));
            return;
        }
        if (followers_.size() >= mostFollowers) {
            Log::notice(QStringLiteral("another start asks to follow the timer, past %1 "
                                       "followers; told no")
                            .arg(mostFollowers));
            answer(socket, QStringLiteral("error too many followers"));
            return;
        }
        // Told right away, then at every change; the socket stays until the follower goes.
        const QString line = status(json, true);
        followers_.append({socket, json, line});
        socket->write((line + u'\n').toUtf8());
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            followers_.removeIf([socket](const Follower& f) { return f.socket == socket; });
            socket->deleteLater();
        });
        return;
    }
    if (verb == QLatin1String("focus") && rest.size() == 1 &&
        (rest[0] == QLatin1String("start") || rest[0] == QLatin1String("stop"))) {
        const bool start = rest[0] == QLatin1String("start");
        Log::info(QStringLiteral("another start asks to %1 the focus timer").arg(rest[0]));
        if (start && pomodoro_.phase().isOff()) pomodoro_.start();
        if (!start) pomodoro_.stop();
        answer(socket, QStringLiteral("ok"));
        return;
    }
    if (verb == QLatin1String("open") && rest.isEmpty()) {
        Log::info(QStringLiteral("another start asks for the menu window"));
        if (open_) open_();
        answer(socket, QStringLiteral("ok"));
        return;
    }
    Log::notice(QStringLiteral("another start sent a command this Purrlox does not know"));
    answer(socket, QStringLiteral("error unknown command"));
}

void InstanceCommands::answer(QLocalSocket* socket, const QString& lines) {
    socket->write((lines + u'\n').toUtf8());
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromServer();
}

void InstanceCommands::tellFollowers() {
    if (followers_.isEmpty()) return;
    QString text, json;
    for (Follower& f : followers_) {
        QString& line = f.json ? json : text;
        if (line.isEmpty()) line = status(f.json, true);
        if (line == f.last) continue;
        f.last = line;
        f.socket->write((line + u'\n').toUtf8());
    }
}
