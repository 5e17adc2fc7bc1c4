#include "platform/wayland/KWinWindows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

// Four finite numbers; anything else gives a frame no output can hold, which the list drops.
QRect rectOf(const QJsonValue& value, bool* ok) {
    const QJsonArray a = value.toArray();
    *ok = a.size() == 4;
    double v[4] = {};
    for (int i = 0; *ok && i < 4; ++i) {
        *ok = a[i].isDouble() && std::isfinite(a[i].toDouble()) && std::abs(a[i].toDouble()) < 1e7;
        if (*ok) v[i] = a[i].toDouble();
    }
    if (!*ok) return {};
    // KWin keeps fractional frames under fractional scales; the edges are rounded, not the size.
    const int left = int(std::lround(v[0])), top = int(std::lround(v[1]));
    return QRect(left, top, int(std::lround(v[0] + v[2])) - left,
                 int(std::lround(v[1] + v[3])) - top);
}

int layerOf(const QJsonObject& w) {
    const QString kind = w.value(QLatin1String("kind")).toString();
    if (kind == QLatin1String("desktop")) return -1000;
    if (kind == QLatin1String("dock")) return 20;
    if (w.value(QLatin1String("keepAbove")).toBool()) return 3;
    if (w.value(QLatin1String("keepBelow")).toBool()) return -1;
    return kind == QLatin1String("normal") ? 0 : 8;
}

CompositorWindow windowOf(const QJsonValue& value) {
    CompositorWindow out;
    const QJsonObject w = value.toObject();
    const QJsonValue id = w.value(QLatin1String("id"));
    bool frameOk = false;
    out.frame = rectOf(w.value(QLatin1String("frame")), &frameOk);
    if (!id.isString() || !frameOk) return CompositorWindow{}; // no id: left out
    out.key = id.toString().left(64);
    out.layer = layerOf(w);
    out.onScreen = !w.value(QLatin1String("minimized")).toBool() &&
                   !w.value(QLatin1String("hidden")).toBool() &&
                   w.value(QLatin1String("onDesktop")).toBool(true);
    const double pid = w.value(QLatin1String("pid")).toDouble(-1);
    if (pid > 0 && pid < 1 << 30 && pid == std::floor(pid)) out.pid = qint64(pid);
    const QJsonValue opacity = w.value(QLatin1String("opacity"));
    if (opacity.isDouble() && opacity.toDouble() >= 0 && opacity.toDouble() < 1)
        out.opacity = opacity.toDouble();
    return out;
}

} // namespace

namespace KWinWindows {

std::optional<CompositorWindows> parse(const QString& text, QString* problem) {
    if (text.size() > kMaxBytes) {
        *problem = QStringLiteral("a window list of %1 characters").arg(text.size());
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        *problem = QStringLiteral("a window list that is not a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    bool outputsOk = false;
    CompositorWindows list;
    list.outputs = rectOf(root.value(QLatin1String("outputs")), &outputsOk);
    const QJsonValue windows = root.value(QLatin1String("windows"));
    if (!outputsOk || list.outputs.isEmpty() || !windows.isArray()) {
        *problem = QStringLiteral("a window list without outputs or windows");
        return std::nullopt;
    }
    // Each output with its work area, from scripts that send them.
    for (const QJsonValue& v : root.value(QLatin1String("screens")).toArray()) {
        const QJsonObject o = v.toObject();
        CompositorOutput screen;
        bool frameOk = false, workOk = false;
        screen.frame = rectOf(o.value(QLatin1String("frame")), &frameOk);
        screen.workArea = rectOf(o.value(QLatin1String("work")), &workOk);
        if (!workOk) screen.workArea = screen.frame;
        screen.name = o.value(QLatin1String("name")).toString().left(64);
        screen.scale = o.value(QLatin1String("scale")).toDouble(0);
        screen.refreshRate = o.value(QLatin1String("refresh")).toDouble(0);
        list.outputList.push_back(std::move(screen));
    }
    const QJsonArray array = windows.toArray();
    list.windows.reserve(std::size_t(array.size()));
    for (const QJsonValue& w : array)
        list.windows.push_back(windowOf(w));
    return list;
}

std::optional<QPointF> parsePointer(const QString& text) {
    if (text.size() > 64) return std::nullopt;
    const QJsonArray a = QJsonDocument::fromJson(text.toUtf8()).array();
    if (a.size() != 2 || !a[0].isDouble() || !a[1].isDouble()) return std::nullopt;
    const double x = a[0].toDouble(), y = a[1].toDouble();
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > 1e7 || std::abs(y) > 1e7)
        return std::nullopt;
    return QPointF(x, y);
}

} // namespace KWinWindows
