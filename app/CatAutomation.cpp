#include "app/CatAutomation.h"

#include "cat/CatOverlay.h"
#include "focus/FocusLog.h"
#include "focus/Pomodoro.h"

#include <QJsonArray>
#include <QTimer>

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
    // The bed and what the cat notices of the system.
    reply.insert("lying", s.lying);
    reply.insert("inCall", s.inCall);
    reply.insert("musicPlaying", s.musicPlaying);
    reply.insert("typing", s.typing);
    reply.insert("focusing", s.focusing);
    reply.insert("bedSpot", QJsonArray{s.bedSpot.x(), s.bedSpot.y()});
    if (s.bedFrame) {
        const Rect& f = *s.bedFrame;
        reply.insert("bed", QJsonArray{f.x, f.y, f.width, f.height});
    }
    reply.insert("frameRate", cats.frameClockRate());
    // The monitor that shows the cat where it stands (null when none does), and every monitor.
    const Desktop& desktop = cats.desktop();
    const int under = desktop.monitorUnder(s.x, s.feetY);
    const bool shown = under >= 0 && desktop.monitors()[under].visibleFrame.minY() <= s.feetY &&
                       s.feetY <= desktop.monitors()[under].visibleFrame.maxY();
    reply.insert("monitor",
                 shown ? QJsonValue(desktop.monitors()[under].name) : QJsonValue(QJsonValue::Null));
    QJsonArray monitors;
    for (const Monitor& m : desktop.monitors())
        monitors.append(
            QJsonObject{{"name", m.name},
                        {"frame", QJsonArray{m.frame.x, m.frame.y, m.frame.width, m.frame.height}},
                        {"visible", QJsonArray{m.visibleFrame.x, m.visibleFrame.y,
                                               m.visibleFrame.width, m.visibleFrame.height}},
                        {"primary", m.primary}});
    reply.insert("monitors", monitors);
    reply.insert("breakUntil", s.breakUntil ? QJsonValue(*s.breakUntil) : QJsonValue());
    // Letters, petting and eaten files.
    const CatState& picture = cats.state;
    reply.insert("unread", picture.unread());
    reply.insert("carrying", s.carrying);
    reply.insert("reading", picture.reading() ? QJsonValue(picture.reading()->text)
                                              : QJsonValue(QJsonValue::Null));
    reply.insert("caption",
                 picture.caption() ? QJsonValue(*picture.caption()) : QJsonValue(QJsonValue::Null));
    reply.insert("hearts", picture.hearts());
    reply.insert("eaten", picture.eaten()
                              ? QJsonValue(QJsonArray::fromStringList(picture.eaten()->names))
                              : QJsonValue(QJsonValue::Null));
    return reply;
}

// {"title": "…", "rows": [["name", "time"], …], "notes": ["…"], "bars": [7 numbers]}
FocusReport reportFrom(const QJsonObject& o) {
    FocusReport report;
    report.title = o.value("title").toString();
    for (const QJsonValue& row : o.value("rows").toArray())
        report.rows.append({row.toArray().at(0).toString(), row.toArray().at(1).toString()});
    for (const QJsonValue& note : o.value("notes").toArray())
        report.notes.append(note.toString());
    if (o.value("bars").isArray()) {
        QList<double> bars;
        for (const QJsonValue& b : o.value("bars").toArray())
            bars.append(b.toDouble());
        if (bars.size() == 7) report.bars = bars;
    }
    return report;
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
    if (command == QLatin1String("letters")) {
        QJsonArray list;
        for (const Letter& letter : cats.letters())
            list.append(QJsonObject{{"text", letter.text}, {"update", letter.update}});
        return {{"letters", list}};
    }
    if (command == QLatin1String("update")) {
        // After the reply has gone out: accepting may end the process.
        QTimer::singleShot(50, &cats, [&cats] { cats.acceptUpdate(); });
        return {{"ok", true}};
    }
    if (command == QLatin1String("deliver")) {
        // A plain letter, as a reminder would bring, or with "report" a focus report letter.
        const QJsonValue text = request.value("text");
        if (!text.isString()) return {{"error", QStringLiteral("deliver needs a text")}};
        Letter letter;
        letter.text = text.toString();
        if (request.value("report").isObject())
            letter.report = reportFrom(request.value("report").toObject());
        cats.deliver(letter);
        return {{"ok", true}};
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
    // Answered once the stretch is on disk (or its save failed), unless asked not to wait: then
    // at once, with the save still under way on the focus log's worker.
    if (!request.value("wait").toBool(true))
        return QJsonObject{{"ok", true}, {"stretches", double(log.stretches().size())}};
    const bool saved = log.flush();
    return QJsonObject{
        {"ok", true}, {"stretches", double(log.stretches().size())}, {"saved", saved}};
}
