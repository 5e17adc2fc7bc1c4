#include "platform/wayland/HyprlandChannel.h"

#include "base/Log.h"
#include "platform/wayland/SocketPath.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace {

// Events after which the list may differ. The "v2" twins come with each of these: not needed.
bool changesList(const QByteArray& name) {
    static const QSet<QByteArray> names{
        "openwindow",    "closewindow",  "movewindow",     "changefloatingmode",
        "fullscreen",    "workspace",    "focusedmon",     "activewindow",
        "moveworkspace", "monitoradded", "monitorremoved", "activespecial",
        "pin",           "minimized",    "configreloaded", "renameworkspace"};
    return names.contains(name);
}

struct Shown {
    qint64 workspace;
    bool special;
};

bool truthy(const QJsonValue& v) {
    return v.isBool() ? v.toBool() : v.toInt() != 0;
}

} // namespace

QString HyprlandChannel::instanceDir(const QString& runtimeDir, const QString& signature) {
    if (signature.isEmpty() || signature.contains(u'/') || signature.startsWith(u'.')) {
        Log::error(QStringLiteral("HYPRLAND_INSTANCE_SIGNATURE is not a plain name; the cat walks "
                                  "on the floor only"));
        return {};
    }
    // Hyprland 0.40 moved its sockets under the runtime folder.
    const QString current = runtimeDir + QStringLiteral("/hypr/") + signature;
    if (!runtimeDir.isEmpty() && QFileInfo::exists(current + QStringLiteral("/.socket2.sock")))
        return current;
    const QString older = QStringLiteral("/tmp/hypr/") + signature;
    return QFileInfo::exists(older + QStringLiteral("/.socket2.sock")) || runtimeDir.isEmpty()
               ? older
               : current;
}

std::optional<CompositorWindows> HyprlandChannel::windowsFrom(const QByteArray& clients,
                                                              const QByteArray& monitors,
                                                              int borderPx, QString* why,
                                                              bool* floatingShown) {
    QJsonParseError e1, e2;
    const QJsonDocument c = QJsonDocument::fromJson(clients, &e1);
    const QJsonDocument m = QJsonDocument::fromJson(monitors, &e2);
    if (!c.isArray() || !m.isArray()) {
        if (why)
            *why = !c.isArray() ? QStringLiteral("clients: %1").arg(e1.errorString())
                                : QStringLiteral("monitors: %1").arg(e2.errorString());
        return std::nullopt;
    }
    CompositorWindows out;
    QHash<qint64, Shown> shown; // workspace id → how it shows
    for (const QJsonValue& mv : m.array()) {
        const QJsonObject mon = mv.toObject();
        double scale = mon.value(QLatin1String("scale")).toDouble(1.0);
        if (!(scale >= 0.25 && scale <= 8)) scale = 1.0;
        int w = int(std::lround(mon.value(QLatin1String("width")).toInt() / scale));
        int h = int(std::lround(mon.value(QLatin1String("height")).toInt() / scale));
        if (mon.value(QLatin1String("transform")).toInt() % 2 == 1) std::swap(w, h);
        CompositorOutput screen;
        screen.name = mon.value(QLatin1String("name")).toString().left(64);
        screen.frame = QRect(mon.value(QLatin1String("x")).toInt(),
                             mon.value(QLatin1String("y")).toInt(), w, h);
        screen.scale = scale;
        screen.refreshRate = mon.value(QLatin1String("refreshRate")).toDouble(0);
        // reserved: what its bars keep, left, top, right, bottom, in logical pixels.
        const QJsonArray reserved = mon.value(QLatin1String("reserved")).toArray();
        screen.workArea = screen.frame;
        if (reserved.size() == 4)
            screen.workArea =
                screen.frame.adjusted(reserved.at(0).toInt(), reserved.at(1).toInt(),
                                      -reserved.at(2).toInt(), -reserved.at(3).toInt());
        out.outputs |= screen.frame;
        out.outputList.push_back(std::move(screen));
        const qint64 active = mon.value(QLatin1String("activeWorkspace"))
                                  .toObject()
                                  .value(QLatin1String("id"))
                                  .toInteger();
        const qint64 special = mon.value(QLatin1String("specialWorkspace"))
                                   .toObject()
                                   .value(QLatin1String("id"))
                                   .toInteger();
        shown.insert(active, {active, false});
        if (special != 0) shown.insert(special, {special, true});
    }

    struct Entry {
        CompositorWindow w;
        int rank;       // 0 special, 1 fullscreen, 2 pinned, 3 floating, 4 tiled
        int focusOrder; // 0 = focused last
        qint64 workspace;
    };
    std::vector<Entry> entries;
    QSet<qint64> fullscreenOn;
    for (const QJsonValue& cv : c.array()) {
        const QJsonObject cl = cv.toObject();
        if (!cl.value(QLatin1String("mapped")).toBool(true)) continue;
        const qint64 ws =
            cl.value(QLatin1String("workspace")).toObject().value(QLatin1String("id")).toInteger();
        auto it = shown.constFind(ws);
        if (it == shown.constEnd()) continue;
        const QJsonArray at = cl.value(QLatin1String("at")).toArray();
        const QJsonArray size = cl.value(QLatin1String("size")).toArray();
        Entry e;
        e.w.key = cl.value(QLatin1String("address")).toString();
        e.w.frame = QRect(at.at(0).toInt() - borderPx, at.at(1).toInt() - borderPx,
                          size.at(0).toInt() + 2 * borderPx, size.at(1).toInt() + 2 * borderPx);
        const qint64 pid = cl.value(QLatin1String("pid")).toInteger();
        if (pid > 0) e.w.pid = pid;
        e.w.onScreen = !cl.value(QLatin1String("hidden")).toBool(false);
        // "fullscreen" was a flag with a mode beside it (1 = maximized); since 0.42 it is the
        // mode itself (1 maximized, 2 fullscreen).
        const QJsonValue fs = cl.value(QLatin1String("fullscreen"));
        const bool fullscreen =
            fs.isBool() ? fs.toBool() && cl.value(QLatin1String("fullscreenMode")).toInt() != 1
                        : fs.toInt() >= 2;
        const bool floating = truthy(cl.value(QLatin1String("floating")));
        e.rank = it->special  ? 0
                 : fullscreen ? 1
                 : floating   ? (truthy(cl.value(QLatin1String("pinned"))) ? 2 : 3)
                              : 4;
        e.focusOrder = cl.value(QLatin1String("focusHistoryID")).toInt(1 << 20);
        e.workspace = ws;
        if (fullscreen) fullscreenOn.insert(ws);
        entries.push_back(std::move(e));
    }
    // A fullscreen window hides the rest of its workspace.
    bool floating = false;
    for (Entry& e : entries) {
        if (e.rank > 1 && fullscreenOn.contains(e.workspace)) e.w.onScreen = false;
        if ((e.rank == 2 || e.rank == 3) && e.w.onScreen) floating = true;
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.focusOrder < b.focusOrder;
    });
    out.windows.reserve(entries.size());
    for (Entry& e : entries)
        out.windows.push_back(std::move(e.w));
    if (floatingShown) *floatingShown = floating;
    return out;
}

HyprlandChannel::HyprlandChannel(QString dir)
    : IpcChannel(dir + QStringLiteral("/.socket2.sock"), QStringLiteral("no event socket"),
                 QStringLiteral("its event socket closed")),
      dir_(std::move(dir)) {
    pointerTimer_ = new QTimer(this);
    pointerTimer_->setInterval(kPointerEveryMs);
    connect(pointerTimer_, &QTimer::timeout, this, &HyprlandChannel::askPointer);
}

void HyprlandChannel::askPointer() {
    if (pointerAsked_ || !live()) return;
    pointerAsked_ = true;
    request("j/cursorpos", [this](const QByteArray* reply) {
        pointerAsked_ = false;
        if (!reply) return;
        const QJsonObject p = QJsonDocument::fromJson(*reply).object();
        const QJsonValue x = p.value(QLatin1String("x")), y = p.value(QLatin1String("y"));
        if (!x.isDouble() || !y.isDouble()) {
            complain(QStringLiteral("a pointer position that does not read"));
            return;
        }
        if (onPointer) onPointer(QPointF(x.toDouble(), y.toDouble()));
    });
}

void HyprlandChannel::wantPointer(bool wanted) {
    if (wanted && !pointerTimer_->isActive()) {
        pointerTimer_->start();
        askPointer();
    } else if (!wanted) {
        pointerTimer_->stop();
    }
}

void HyprlandChannel::request(const QByteArray& command, Reply done) {
    const QString path = dir_ + QStringLiteral("/.socket.sock");
    if (SocketPath::check(path) != SocketPath::Verdict::ours) {
        done(nullptr);
        return;
    }
    ++requests_;
    auto* socket = new QLocalSocket(this);
    auto* timer = new QTimer(socket);
    timer->setSingleShot(true);
    auto buffer = std::make_shared<QByteArray>();
    // Ends the exchange once, whichever way: the socket is closed and freed every time. The
    // reply is handed on as the buffer itself (null: none came), never as a copy.
    auto finish = std::make_shared<std::function<void(bool)>>();
    *finish = [socket, buffer, done = std::move(done), finish](bool answered) mutable {
        socket->disconnect();
        socket->abort();
        socket->deleteLater();
        Reply call = std::move(done);
        const std::shared_ptr<QByteArray> reply = buffer; // outlives this closure, cleared next
        *finish = nullptr; // breaks the cycle through the captured pointer
        call(answered ? reply.get() : nullptr);
    };
    const auto end = [finish](bool answered) {
        if (*finish) (*finish)(answered);
    };
    connect(socket, &QLocalSocket::connected, socket,
            [socket, command] { socket->write(command); });
    connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer, end, command] {
        *buffer += socket->readAll();
        if (buffer->size() > kMaxReply) {
            complain(QStringLiteral("a reply to %1 past %2 MB")
                         .arg(QString::fromLatin1(command))
                         .arg(kMaxReply >> 20));
            end(false);
        }
    });
    connect(socket, &QLocalSocket::disconnected, socket, [socket, buffer, end] {
        *buffer += socket->readAll();
        end(true);
    });
    connect(socket, &QLocalSocket::errorOccurred, socket,
            [socket, buffer, end](QLocalSocket::LocalSocketError error) {
                if (error == QLocalSocket::PeerClosedError) {
                    *buffer += socket->readAll();
                    end(true);
                } else {
                    end(false);
                }
            });
    connect(timer, &QTimer::timeout, socket, [this, end, command, serial = requests_] {
        if (serial > settledUpTo_)
            complain(QStringLiteral("no answer to %1 within %2 s")
                         .arg(QString::fromLatin1(command))
                         .arg(kReplyTimeoutMs / 1000));
        end(false);
    });
    timer->start(kReplyTimeoutMs);
    socket->connectToServer(path);
}

// The event socket is talked to only with the request socket beside it, when that is there,
// a socket and this user's as well.
SocketPath::Verdict HyprlandChannel::verdict() const {
    const SocketPath::Verdict events = SocketPath::check(streamPath());
    if (events != SocketPath::Verdict::ours) return events;
    const SocketPath::Verdict requests = SocketPath::check(dir_ + QStringLiteral("/.socket.sock"));
    return requests == SocketPath::Verdict::absent ? events : requests;
}

QString HyprlandChannel::refusal(SocketPath::Verdict verdict) const {
    return QStringLiteral("Hyprland's sockets in %1 are %2")
        .arg(Log::priv(dir_), SocketPath::describe(verdict));
}

void HyprlandChannel::opened() {
    dropLine_ = false;
    request("j/getoption general:border_size", [this](const QByteArray* reply) {
        if (reply) {
            const int b =
                QJsonDocument::fromJson(*reply).object().value(QLatin1String("int")).toInt();
            borderPx_ = std::clamp(b, 0, 64);
        }
        reread();
    });
}

IpcChannel::Cut HyprlandChannel::cut(QByteArrayView front) {
    const qsizetype nl = front.indexOf('\n');
    if (dropLine_) { // the tail of an overlong line
        if (nl >= 0) dropLine_ = false;
        return {Cut::skip, 0, nl >= 0 ? nl : front.size(), nl >= 0 ? 1 : 0};
    }
    if (nl >= 0) return {Cut::message, 0, nl, 1};
    if (front.size() > kMaxEventLine) {
        complain(QStringLiteral("an event line past %1 kB").arg(kMaxEventLine >> 10));
        dropLine_ = true;
        return {Cut::skip, 0, front.size(), 0};
    }
    return {};
}

// Lines read "name>>data"; the list is asked for once a read, however many of them came.
void HyprlandChannel::message(QByteArrayView, QByteArray line) {
    const qsizetype sep = line.indexOf(">>");
    if (sep > 0 && changesList(line.left(sep))) changed_ = true;
}

void HyprlandChannel::drained() {
    if (!changed_) return;
    changed_ = false;
    reread();
}

void HyprlandChannel::ask() {
    request("j/clients", [this](const QByteArray* clients) {
        if (!clients) {
            listRead(nullptr, nullptr);
            return;
        }
        request("j/monitors", [this, clients = *clients](const QByteArray* monitors) {
            listRead(&clients, monitors);
        });
    });
}

void HyprlandChannel::listRead(const QByteArray* clients, const QByteArray* monitors) {
    std::optional<CompositorWindows> list;
    bool floating = false;
    if (clients && monitors) {
        QString why;
        list = windowsFrom(*clients, *monitors, borderPx_, &why, &floating);
        if (!list) complain(QStringLiteral("a list that does not read (%1)").arg(why));
    }
    if (list && open()) settledUpTo_ = requests_;
    answered(std::move(list), floating);
}
