#include "app/IncomingLinks.h"

#include <QCoreApplication>
#include <QThread>

std::function<void(const QUrl&)> IncomingLinks::onOpen;
QList<QUrl> IncomingLinks::pending;

void IncomingLinks::open(const QList<QUrl>& urls) {
    Q_ASSERT(!QCoreApplication::instance() ||
             QThread::currentThread() == QCoreApplication::instance()->thread());
    for (const QUrl& url : urls) {
        if (onOpen)
            onOpen(url);
        else
            pending.append(url);
    }
}
