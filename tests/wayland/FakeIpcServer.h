#pragma once

#include "platform/wayland/CompositorChannel.h"

#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QLocalSocket;

// A compositor's IPC socket as the channel tests stand it up: listens at a path, hands what
// each connection writes to the test's protocol, and answers or pushes events on demand.
class FakeIpcServer {
  public:
    explicit FakeIpcServer(const QString& path);

    // Called each time a connection has bytes to read.
    std::function<void(QLocalSocket*)> onRead;

    // The connection made last; null before any, or once it went.
    QLocalSocket* latest() const { return latest_; }
    // Writes to the latest connection, if any.
    void send(const QByteArray& bytes);
    // Connections still open.
    int openConnections() const;

  private:
    QLocalServer server_;
    QList<QPointer<QLocalSocket>> connections_;
    QPointer<QLocalSocket> latest_;
};

// Runs the event loop until done() holds or ms pass; whether it held.
bool spinUntil(const std::function<bool()>& done, int ms = 3000);

// Counts, while it lives, this process's log lines that mention any of the words.
class LogLines {
  public:
    explicit LogLines(QStringList words);
    ~LogLines();
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    int count() const;
    void reset();
};

// What a channel passed on, heard from its start (which this makes).
struct Heard {
    explicit Heard(CompositorChannel& channel);
    Heard(const Heard&) = delete;
    Heard& operator=(const Heard&) = delete;

    std::vector<CompositorWindows> got;
    int lost = 0;
};

// The list's keys front-most first, the hidden ones marked: "a b(hidden)".
QString keys(const CompositorWindows& list);
