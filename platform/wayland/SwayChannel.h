#pragma once

#include "platform/wayland/CompositorChannel.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class QLocalSocket;
class QTimer;

// sway's (and i3's) IPC socket: the tree once, then a re-read each time a window, workspace,
// output or key-binding event says it may have changed. sway 1.7 announces no event when a
// floating window is moved or resized (by the mouse or by another client's command), so while a
// floating window shows and the user is active, the tree is also re-read every
// kFloatingCheckMs (the engine's own window read interval, so a dragged window is followed as
// closely as on X11); once the user goes idle it is read one last time (a drag just ended), and
// again at once when input comes back. With tiled windows alone, or nobody at the keyboard,
// nothing is asked while nothing changes. One socket, non-blocking, on the main thread. When it
// closes (sway reloaded or restarted) the cat walks on the floor and the channel comes back on its
// own after a growing pause.
class SwayChannel final : public QObject, public CompositorChannel {
  public:
    // socketPath: $SWAYSOCK.
    explicit SwayChannel(QString socketPath);
    ~SwayChannel() override;

    QString name() const override { return QStringLiteral("sway"); }
    void start() override;
    void refresh() override;
    bool rereadsFloating() const override { return true; }
    void userActive(bool active) override;

    // The visible workspaces' windows in a get_tree reply, front-most first; nullopt (and why)
    // when the reply is not a tree. Public for the tests of hostile trees.
    // floatingShown: whether a floating window shows on a shown workspace.
    static std::optional<CompositorWindows> windowsFromTree(const QByteArray& json, QString* why,
                                                            bool* floatingShown = nullptr);

    // Replies larger than this are skipped unread: no real desktop comes near.
    static constexpr quint32 kMaxPayload = 64u << 20;
    static constexpr int kFloatingCheckMs = 50;

    // Trees asked for since the start: for the benchmark of a quiet desktop.
    quint64 treesAsked() const { return treesAsked_; }

  private:
    void connectNow();
    void connected();
    void closed(const QString& why);
    void readReplies();
    void send(quint32 type, const QByteArray& payload);
    void askTree();
    void handle(quint32 type, const QByteArray& payload);
    void complain(const QString& what);

    QString path_;
    QLocalSocket* socket_ = nullptr;
    QTimer* retry_ = nullptr;
    QTimer* floatingCheck_ = nullptr;
    quint64 treesAsked_ = 0;
    CompositorWindows last_;
    bool floatingShown_ = false; // the last list had a floating window showing
    bool userActive_ = true;     // re-read floating windows on a timer only while true
    int pauseMs_ = 0;
    bool refused_ = false;
    bool live_ = false;       // connected and the tree read at least once
    bool treeAsked_ = false;  // a get_tree is on its way
    bool treeStale_ = false;  // an event came while it was: ask again after it
    quint32 skipping_ = 0;    // bytes of an oversized reply still to drop
    bool complained_ = false; // one log line per kind of bad reply until a good one
};
