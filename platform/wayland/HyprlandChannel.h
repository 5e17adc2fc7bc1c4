#pragma once

#include "platform/wayland/IpcChannel.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QTimer;

// Hyprland's two sockets: requests (`j/clients`, `j/monitors`, `j/cursorpos`), one connection
// each, written, read to the end and closed (Hyprland stalls on a client that does not read);
// and the event socket, kept open by the core, whose lines say when the list may have changed.
class HyprlandChannel final : public IpcChannel {
  public:
    // dir: the instance's folder ($XDG_RUNTIME_DIR/hypr/$SIG, or /tmp/hypr/$SIG before 0.40).
    explicit HyprlandChannel(QString dir);

    // The instance's folder from the environment; empty (and one log line) when the signature
    // is not a plain name.
    static QString instanceDir(const QString& runtimeDir, const QString& signature);

    QString name() const override { return QStringLiteral("Hyprland"); }
    bool offersPointer() const override { return true; }
    void wantPointer(bool wanted) override;

    // The shown windows, front-most first, from the replies to j/clients and j/monitors;
    // nullopt (and why) when either does not read. borderPx: general:border_size.
    static std::optional<CompositorWindows> windowsFrom(const QByteArray& clients,
                                                        const QByteArray& monitors, int borderPx,
                                                        QString* why,
                                                        bool* floatingShown = nullptr);

    static constexpr qint64 kMaxReply = 64 << 20;
    static constexpr int kMaxEventLine = 64 << 10;
    static constexpr int kReplyTimeoutMs = 2000;
    static constexpr int kPointerEveryMs = 1000;

    quint64 requestsMade() const { return requests_; }

  private:
    // The reply, valid for the call; null when none came.
    using Reply = std::function<void(const QByteArray*)>;
    void request(const QByteArray& command, Reply done);
    Cut cut(QByteArrayView front) override;
    void message(QByteArrayView head, QByteArray line) override;
    void drained() override;
    void opened() override;
    void ask() override;
    SocketPath::Verdict verdict() const override;
    QString refusal(SocketPath::Verdict verdict) const override;
    void listRead(const QByteArray* clients, const QByteArray* monitors);
    void askPointer();

    QString dir_;
    bool dropLine_ = false; // the rest of an overlong event line is still coming
    bool changed_ = false;  // an event of this read may change the list
    QTimer* pointerTimer_ = nullptr;
    bool pointerAsked_ = false;
    int borderPx_ = 0;
    quint64 requests_ = 0;
    // Requests up to this one were sent before the last good list: their timeouts belong to a
    // stall already logged or already over, and stay quiet.
    quint64 settledUpTo_ = 0;
};
