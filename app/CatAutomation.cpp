#include "app/CatAutomation.h"

#include "cat/CatOverlay.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"

#include <QJsonArray>

namespace {

QJsonObject state(const CatOverlay& cats) {
    const CatOverlay::Snapshot s = cats.snapshot();
    const QString activity = s.activity.description();
    QJsonObject reply{{"x", s.x},
                      {"feetY", s.feetY},
                      {"activity", activity},
                      {"kind", activity.section(QLatin1Char('('), 0, 0)},
                      {"platform", s.platform.window() ? double(s.platform.window()->id) : 0.0},
                      {"sprite", s.sprite.rawValue()}};
    if (s.panelFrame) {
        const Rect& f = *s.panelFrame;
        reply.insert("panel", QJsonArray{f.x, f.y, f.width, f.height});
    }
    return reply;
}

} // namespace

QJsonObject answerCatRequest(CatOverlay& cats, const QJsonObject& request) {
    const QString command = request.value("cmd").toString();
    if (command == QLatin1String("state")) return state(cats);
    if (command == QLatin1String("due")) {
        static const QHash<QString, CatOverlay::Due> names{{"wander", CatOverlay::Due::wander},
                                                           {"snack", CatOverlay::Due::snack},
                                                           {"climb", CatOverlay::Due::climb},
                                                           {"yawn", CatOverlay::Due::yawn},
                                                           {"hunt", CatOverlay::Due::hunt}};
        const QString what = request.value("what").toString();
        const auto it = names.find(what);
        if (it == names.end()) return {{"error", QStringLiteral("unknown timer: %1").arg(what)}};
        cats.makeDue(*it);
        return {{"ok", true}};
    }
    if (command == QLatin1String("tops")) {
        // The walkable pieces of every window top in the cat's last poll, front-most first.
        QJsonArray list;
        for (const DesktopWindow& w : cats.polledWindows()) {
            QJsonArray pieces;
            for (const Span& piece : cats.visibleTop(w))
                pieces.append(QJsonArray{piece.lower, piece.upper});
            list.append(QJsonObject{
                {"id", double(w.id)},
                {"frame", QJsonArray{w.frame.x, w.frame.y, w.frame.width, w.frame.height}},
                {"pieces", pieces}});
        }
        return {{"windows", list}};
    }
    if (command == QLatin1String("calm")) {
        cats.postponeAll(request.value("seconds").toDouble(3600));
        return {{"ok", true}};
    }
    return {{"error", QStringLiteral("unknown command: %1").arg(command)}};
}

std::optional<QJsonObject> answerStoreRequest(FocusLog& log, Pomodoro& pomodoro,
                                              const QJsonObject& request) {
    if (request.value("cmd").toString() != QLatin1String("book")) return std::nullopt;
    const QString activity = request.value("activity").toString();
    const double seconds = request.value("seconds").toDouble(60);
    if (activity.isEmpty() || !(seconds >= 1))
        return QJsonObject{{"error", "book needs an activity and seconds >= 1"}};
    FocusLog::Stretch s;
    s.activity = activity;
    s.start = s.sitting = QDateTime::currentDateTimeUtc().addMSecs(qint64(-seconds * 1000));
    s.planned = seconds;
    log.setCurrent(s);
    log.count(seconds);
    log.finish(false);
    pomodoro.setActivity(activity);
    return QJsonObject{{"ok", true}, {"stretches", double(log.stretches().size())}};
}
