#include "platform/wayland/SwayChannel.h"

#include "base/Log.h"
#include "platform/wayland/SocketPath.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>
#include <vector>

namespace {

// The i3 IPC framing: magic, payload length and type in the host's byte order, then JSON.
constexpr char kMagic[] = "i3-ipc";
constexpr int kMagicSize = 6;
constexpr int kHeaderSize = kMagicSize + 8;

constexpr quint32 kSubscribe = 2;
constexpr quint32 kGetTree = 4;
constexpr quint32 kEvent = 0x80000000u;
constexpr quint32 kWorkspaceEvent = kEvent | 0;
constexpr quint32 kOutputEvent = kEvent | 1;
constexpr quint32 kWindowEvent = kEvent | 3;
constexpr quint32 kBindingEvent = kEvent | 5;
constexpr quint32 kShutdownEvent = kEvent | 6;

QRect rectOf(const QJsonValue& v) {
    const QJsonObject r = v.toObject();
    return QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                 r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
}

bool isWindow(const QJsonObject& node) {
    const QString type = node.value(QLatin1String("type")).toString();
    if (type != QLatin1String("con") && type != QLatin1String("floating_con")) return false;
    if (!node.value(QLatin1String("nodes")).toArray().isEmpty() ||
        !node.value(QLatin1String("floating_nodes")).toArray().isEmpty())
        return false;
    // A view: sway names its Wayland clients by app_id, X11 ones by window; i3 only the latter.
    return node.contains(QLatin1String("app_id")) ||
           node.value(QLatin1String("window")).isDouble() ||
           node.value(QLatin1String("pid")).toInt() > 0;
}

// The frame sway draws: its rect leaves the title bar out (as i3's does), deco_rect says how
// tall it is; a stacked container's children all sit below the whole stack of titles.
CompositorWindow windowOf(const QJsonObject& node, int titlesAbove, bool shown) {
    CompositorWindow w;
    w.key = QString::number(node.value(QLatin1String("id")).toInteger());
    QRect frame = rectOf(node.value(QLatin1String("rect")));
    const int deco = rectOf(node.value(QLatin1String("deco_rect"))).height();
    if (deco > 0 && deco < (1 << 16)) frame.setTop(frame.top() - deco * titlesAbove);
    w.frame = frame;
    const qint64 pid = node.value(QLatin1String("pid")).toInteger();
    if (pid > 0) w.pid = pid;
    // sway says whether a view shows (a hidden tab does not); i3 does not say.
    w.onScreen = shown && node.value(QLatin1String("visible")).toBool(true);
    return w;
}

// sway tells an output's mode and scale in the tree as in get_outputs; i3 tells neither, and
// sway has no primary (the output at the origin stands for it).
CompositorOutput outputOf(const QJsonObject& output) {
    CompositorOutput o;
    o.name = output.value(QLatin1String("name")).toString().left(64);
    o.frame = rectOf(output.value(QLatin1String("rect")));
    o.scale = output.value(QLatin1String("scale")).toDouble(0);
    // current_mode.refresh is in millihertz.
    o.refreshRate = output.value(QLatin1String("current_mode"))
                        .toObject()
                        .value(QLatin1String("refresh"))
                        .toDouble(0) /
                    1000.0;
    o.primary = output.value(QLatin1String("primary")).toBool(false);
    return o;
}

struct Pending {
    QJsonObject node;
    int titlesAbove = 1;
};

// Every window under one workspace, without recursion (a hostile tree may be deep):
// fullscreen, then floating top-most first, then tiled.
// Returns whether a floating window shows.
bool collectWorkspace(const QJsonObject& ws, std::vector<CompositorWindow>& fullscreen,
                      std::vector<CompositorWindow>& rest) {
    std::vector<CompositorWindow> floating, tiled;
    std::vector<Pending> stack;
    std::vector<bool> floatingStack;
    // Floating containers are drawn in their array's order: the last one on top.
    const QJsonArray floats = ws.value(QLatin1String("floating_nodes")).toArray();
    for (qsizetype i = 0; i < floats.size(); ++i) {
        stack.push_back({floats.at(i).toObject(), 1});
        floatingStack.push_back(true);
    }
    const QJsonArray tiles = ws.value(QLatin1String("nodes")).toArray();
    const bool stackedWs = ws.value(QLatin1String("layout")).toString() == QLatin1String("stacked");
    for (const QJsonValue& v : tiles) {
        stack.push_back({v.toObject(), stackedWs ? int(tiles.size()) : 1});
        floatingStack.push_back(false);
    }
    while (!stack.empty()) {
        const Pending p = std::move(stack.back());
        const bool isFloat = floatingStack.back();
        stack.pop_back();
        floatingStack.pop_back();
        if (isWindow(p.node)) {
            CompositorWindow w = windowOf(p.node, p.titlesAbove, true);
            if (p.node.value(QLatin1String("fullscreen_mode")).toInt() != 0)
                fullscreen.push_back(std::move(w));
            else
                (isFloat ? floating : tiled).push_back(std::move(w));
            continue;
        }
        const QJsonArray kids = p.node.value(QLatin1String("nodes")).toArray();
        const bool stacked =
            p.node.value(QLatin1String("layout")).toString() == QLatin1String("stacked");
        for (const QJsonValue& v : kids) {
            stack.push_back({v.toObject(), stacked ? int(kids.size()) : 1});
            floatingStack.push_back(isFloat);
        }
        for (const QJsonValue& v : p.node.value(QLatin1String("floating_nodes")).toArray()) {
            stack.push_back({v.toObject(), 1});
            floatingStack.push_back(true);
        }
    }
    // The stack popped the last floating container first: already top-most first.
    // A fullscreen window hides the rest of its workspace.
    const bool hidden = !fullscreen.empty();
    const bool floatingShown = !hidden && !floating.empty();
    for (auto* part : {&floating, &tiled})
        for (CompositorWindow& w : *part) {
            if (hidden) w.onScreen = false;
            rest.push_back(std::move(w));
        }
    return floatingShown;
}

} // namespace

std::optional<CompositorWindows> SwayChannel::windowsFromTree(const QByteArray& json, QString* why,
                                                              bool* floatingShown) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (!doc.isObject()) {
        if (why)
            *why = error.error == QJsonParseError::NoError
                       ? QStringLiteral("not a tree")
                       : QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset);
        return std::nullopt;
    }
    CompositorWindows out;
    std::vector<CompositorWindow> fullscreen, rest;
    bool floating = false;
    const QJsonArray outputs = doc.object().value(QLatin1String("nodes")).toArray();
    for (const QJsonValue& ov : outputs) {
        const QJsonObject output = ov.toObject();
        if (output.value(QLatin1String("type")).toString() != QLatin1String("output")) continue;
        if (output.value(QLatin1String("name")).toString().startsWith(QLatin1String("__i3")))
            continue; // the scratchpad
        CompositorOutput screen = outputOf(output);
        out.outputs |= screen.frame;
        // The workspace shown on an output: sway names it; i3 puts it first in the focus order.
        const QString current = output.value(QLatin1String("current_workspace")).toString();
        const QJsonArray focus = output.value(QLatin1String("focus")).toArray();
        const qint64 focusFirst = focus.isEmpty() ? -1 : focus.at(0).toInteger(-1);
        for (const QJsonValue& wv : output.value(QLatin1String("nodes")).toArray()) {
            const QJsonObject ws = wv.toObject();
            if (ws.value(QLatin1String("type")).toString() != QLatin1String("workspace")) continue;
            const bool shown = current.isEmpty()
                                   ? ws.value(QLatin1String("id")).toInteger() == focusFirst
                                   : ws.value(QLatin1String("name")).toString() == current;
            if (!shown) continue;
            // The shown workspace's rect is the output less its bars.
            screen.workArea = rectOf(ws.value(QLatin1String("rect")));
            if (collectWorkspace(ws, fullscreen, rest)) floating = true;
        }
        out.outputList.push_back(std::move(screen));
    }
    if (floatingShown) *floatingShown = floating && fullscreen.empty();
    out.windows.reserve(fullscreen.size() + rest.size());
    for (auto* part : {&fullscreen, &rest})
        for (CompositorWindow& w : *part)
            out.windows.push_back(std::move(w));
    return out;
}

SwayChannel::SwayChannel(QString socketPath)
    : IpcChannel(std::move(socketPath), QStringLiteral("no socket at $SWAYSOCK"),
                 QStringLiteral("its socket closed")) {}

QString SwayChannel::refusal(SocketPath::Verdict verdict) const {
    return QStringLiteral("$SWAYSOCK (%1) is %2")
        .arg(Log::priv(streamPath()), SocketPath::describe(verdict));
}

void SwayChannel::opened() {
    forgetAsked(); // a tree asked on the socket before this one will not come
    send(kSubscribe, QByteArrayLiteral(R"(["window","workspace","output","binding","shutdown"])"));
    reread();
}

void SwayChannel::send(quint32 type, const QByteArray& payload) {
    QByteArray msg(kMagic, kMagicSize);
    const quint32 header[2] = {quint32(payload.size()), type};
    msg.append(reinterpret_cast<const char*>(header), sizeof header);
    msg.append(payload);
    write(msg);
}

void SwayChannel::ask() {
    ++treesAsked_;
    send(kGetTree, {});
}

IpcChannel::Cut SwayChannel::cut(QByteArrayView front) {
    if (front.size() < kHeaderSize) return {};
    if (!front.startsWith(QByteArrayView(kMagic, kMagicSize))) {
        // Out of step with the stream: nothing after this can be trusted.
        complain(QStringLiteral("a reply without the IPC header"));
        closed(QStringLiteral("it sent what is not its IPC"));
        return {};
    }
    quint32 size, type;
    std::memcpy(&size, front.data() + kMagicSize, 4);
    std::memcpy(&type, front.data() + kMagicSize + 4, 4);
    if (size > kMaxPayload) {
        complain(QStringLiteral("a reply of %1 bytes").arg(size));
        if (type == kGetTree) answered(std::nullopt, false);
        return {Cut::skip, kHeaderSize, qsizetype(size)};
    }
    if (front.size() < kHeaderSize + qsizetype(size)) return {};
    return {Cut::message, kHeaderSize, qsizetype(size)};
}

void SwayChannel::message(QByteArrayView head, QByteArray payload) {
    quint32 type;
    std::memcpy(&type, head.data() + kMagicSize + 4, 4);
    switch (type) {
    case kGetTree: {
        QString why;
        bool floating = false;
        std::optional<CompositorWindows> list = windowsFromTree(payload, &why, &floating);
        if (!list) complain(QStringLiteral("a tree that does not read (%1)").arg(why));
        answered(std::move(list), floating);
        return;
    }
    case kWindowEvent: {
        // Titles, marks and urgency move nothing.
        const QByteArray change = QJsonDocument::fromJson(payload)
                                      .object()
                                      .value(QLatin1String("change"))
                                      .toString()
                                      .toUtf8();
        if (change == "title" || change == "mark" || change == "urgent") return;
        reread();
        return;
    }
    case kWorkspaceEvent:
    case kOutputEvent:
    case kBindingEvent:
        reread();
        return;
    case kShutdownEvent:
        closed(QStringLiteral("sway is shutting down"));
        return;
    default:
        return; // the subscription's own answer, and events not asked for
    }
}
