#pragma once

#include "platform/wayland/CompositorChannel.h"
#include "platform/wayland/SocketPath.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <optional>

class QLocalSocket;
class QTimer;

// A compositor's IPC socket that stays open and tells what may have changed (sway's one socket,
// Hyprland's event socket). The protocol says how the list is asked for and how messages are
// cut from the stream; the rest is here: the socket itself, non-blocking on the main thread,
// and, when it closes (the compositor reloaded or restarted), the floor and a growing pause
// before the next try; one question at a time (what comes while one is on its way asks again
// after it); a list passed on only when it differs; one log line per kind of bad reply until a
// good one. Neither compositor announces a floating window dragged, so while one shows and the
// user is active the list is also re-read every kFloatingCheckMs (the engine's own window read
// interval); once the user goes idle it is read one last time (a drag just ended), and again at
// once when input comes back. With tiled windows alone, or nobody at the keyboard, nothing is
// asked while nothing changes.
class IpcChannel : public QObject, public CompositorChannel {
  public:
    ~IpcChannel() override;

    void start() override;
    void refresh() override;
    bool rereadsFloating() const override { return true; }
    void userActive(bool active) override;

    static constexpr int kFloatingCheckMs = 50;

  protected:
    // streamPath: the socket kept open. absentWhy, closedWhy: what onLost says when it is not
    // there and when it closes.
    IpcChannel(QString streamPath, QString absentWhy, QString closedWhy);

    // Where the next message stands at the front of what came: `head` bytes before its body,
    // `body` bytes, `tail` after. more: not whole yet; skip: drop all three unread (they may
    // not have come yet).
    struct Cut {
        enum Kind { more, message, skip } kind = more;
        qsizetype head = 0;
        qsizetype body = 0;
        qsizetype tail = 0;
    };
    // front is never empty. May close the channel (out of step with the stream).
    virtual Cut cut(QByteArrayView front) = 0;
    virtual void message(QByteArrayView head, QByteArray body) = 0;
    // After the messages of one read.
    virtual void drained() {}
    // The socket is open: subscribe, and the first reread().
    virtual void opened() = 0;
    // Writes the question for the list; its answer goes to answered().
    virtual void ask() = 0;
    // Whether the sockets may be talked to; absent retries, anything else but ours refuses.
    virtual SocketPath::Verdict verdict() const;
    // The refusal's log line, before "; the cat walks on the floor only".
    virtual QString refusal(SocketPath::Verdict verdict) const = 0;

    // Asks for the list, or again after the answer on its way.
    void reread();
    // Forgets a question whose answer will not come (the socket it went on is gone).
    void forgetAsked();
    // The answer: nullopt when there was none or it did not read (complained about already).
    void answered(std::optional<CompositorWindows> list, bool floatingShown);
    void write(const QByteArray& bytes);
    void closed(const QString& why);
    void complain(const QString& what);
    bool live() const { return live_; }
    bool open() const { return socket_ != nullptr; }
    const QString& streamPath() const { return path_; }

  private:
    void connectNow();
    void readStream();

    QString path_;
    QString absentWhy_;
    QString closedWhy_;
    QLocalSocket* socket_ = nullptr;
    QTimer* retry_ = nullptr;
    QTimer* floatingCheck_ = nullptr;
    QByteArray pending_;  // what came and is not cut yet
    qint64 skipping_ = 0; // bytes of a skipped message still to drop
    CompositorWindows last_;
    bool floatingShown_ = false; // the last list had a floating window showing
    bool userActive_ = true;     // re-read floating windows on a timer only while true
    int pauseMs_ = 0;
    bool refused_ = false;
    bool live_ = false;       // connected and the list read at least once
    bool asked_ = false;      // a question is on its way
    bool stale_ = false;      // something changed while it was: ask again after it
    bool complained_ = false; // one log line per kind of bad reply until a good one
};
