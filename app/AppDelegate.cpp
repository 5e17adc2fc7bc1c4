#include "app/AppDelegate.h"

#include <QCoreApplication>
#include <QThread>

std::function<void(const QUrl&)> AppDelegate::onOpen;
QList<QUrl> AppDelegate::pending;

void AppDelegate::open(const QList<QUrl>& urls) {
    Q_ASSERT(!QCoreApplication::instance() ||
             QThread::currentThread() == QCoreApplication::instance()->thread());
    for (const QUrl& url : urls) {
        if (onOpen)
            onOpen(url);
        else
            pending.append(url);
    }
}
