#pragma once

#include "platform/wayland/CompositorChannel.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QLocalSocket;
class QTimer;

// Hyprland's two sockets: requests (`j/clients`, `j/monitors`, `j/cursorpos`), one connection
// each, written, read to the end and closed (Hyprland stalls on a client that does not read);
// and the event socket, whose lines say when the list may have changed. Hyprland tells no
// event when a floating window is dragged, so while one shows and the user is active the list
// is also re-read every kFloatingCheckMs (once more when the user goes idle, at once when input
// comes back); with tiled windows alone, or nobody at the keyboard, nothing is asked while
// nothing changes.
class HyprlandChannel final : public QObject, public CompositorChannel {
  public:
    // dir: the instance's folder ($XDG_RUNTIME_DIR/hypr/$SIG, or /tmp/hypr/$SIG before 0.40).
    explicit HyprlandChannel(QString dir);
    ~HyprlandChannel() override;

    // The instance's folder from the environment; empty (and one log line) when the signature
    // is not a plain name.
    static QString instanceDir(const QString& runtimeDir, const QString& signature);

    QString name() const override { return QStringLiteral("Hyprland"); }
    void start() override;
    void refresh() override;
    bool rereadsFloating() const override { return true; }
    void userActive(bool active) override;
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
    static constexpr int kFloatingCheckMs = 50;
    static constexpr int kPointerEveryMs = 1000;

    quint64 requestsMade() const { return requests_; }

  private:
    // The reply, valid for the call; null when none came.
    using Reply = std::function<void(const QByteArray*)>;
    void request(const QByteArray& command, Reply done);
    void connectEvents();
    void eventsClosed(const QString& why);
    void readEvents();
    void reread();
    void listRead(const QByteArray* clients, const QByteArray* monitors);
    void askPointer();
    void complain(const QString& what);

    QString dir_;
    QLocalSocket* events_ = nullptr;
    QByteArray partial_;
    bool dropLine_ = false;
    QTimer* retry_ = nullptr;
    QTimer* floatingCheck_ = nullptr;
    QTimer* pointerTimer_ = nullptr;
    int pauseMs_ = 0;
    bool live_ = false;
    bool refused_ = false;
    bool reading_ = false;
    bool stale_ = false;
    bool pointerAsked_ = false;
    bool complained_ = false;
    int borderPx_ = 0;
    quint64 requests_ = 0;
    // Requests up to this one were sent before the last good list: their timeouts belong to a
    // stall already logged or already over, and stay quiet.
    quint64 settledUpTo_ = 0;
    CompositorWindows last_;
    bool floatingShown_ = false; // the last list had a floating window showing
    bool userActive_ = true;     // re-read floating windows on a timer only while true
};
