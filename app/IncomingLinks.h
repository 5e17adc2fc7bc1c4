#pragma once

#include <QList>
#include <QUrl>
#include <functional>

// Receives the purrlox:// links the desktop hands the application. Links that arrive before the
// model exists wait in `pending` until AppModel installs `onOpen` and drains them.
class IncomingLinks {
  public:
    static std::function<void(const QUrl&)> onOpen;
    static QList<QUrl> pending;

    // Each link in order: straight to onOpen when it is set, else queued.
    static void open(const QList<QUrl>& urls);
};
