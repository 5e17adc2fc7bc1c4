#pragma once

#include "platform/wayland/IpcChannel.h"

#include <QByteArray>
#include <QString>
#include <optional>

// sway's (and i3's) IPC socket: the tree once, then a re-read each time a window, workspace,
// output or key-binding event says it may have changed (sway 1.7 announces no event when a
// floating window is moved or resized, which the core's floating check covers).
class SwayChannel final : public IpcChannel {
  public:
    // socketPath: $SWAYSOCK.
    explicit SwayChannel(QString socketPath);

    QString name() const override { return QStringLiteral("sway"); }

    // The visible workspaces' windows in a get_tree reply, front-most first; nullopt (and why)
    // when the reply is not a tree. Public for the tests of hostile trees.
    // floatingShown: whether a floating window shows on a shown workspace.
    static std::optional<CompositorWindows> windowsFromTree(const QByteArray& json, QString* why,
                                                            bool* floatingShown = nullptr);

    // Replies larger than this are skipped unread: no real desktop comes near.
    static constexpr quint32 kMaxPayload = 64u << 20;

    // Trees asked for since the start: for the benchmark of a quiet desktop.
    quint64 treesAsked() const { return treesAsked_; }

  private:
    Cut cut(QByteArrayView front) override;
    void message(QByteArrayView head, QByteArray body) override;
    void opened() override;
    void ask() override;
    QString refusal(SocketPath::Verdict verdict) const override;
    void send(quint32 type, const QByteArray& payload);

    quint64 treesAsked_ = 0;
};
