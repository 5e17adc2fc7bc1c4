// One start of Purrlox's one-instance claim in a process of its own, for tests of two starts.
// Usage: instance_probe SOCKET [--at MSECS_SINCE_EPOCH] [URL...]
// The lock lives in PURRLOX_DATA_HOME. Waits until the given moment, claims, and prints
// "instance" or "not instance". An instance then prints "links N" or "again" for each later
// start that reached it, and runs until killed.
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: %s SOCKET [--at MSECS] [URL...]\n", argv[0]);
        return 2;
    }
    const QString socket = args.takeFirst();
    if (args.size() >= 2 && args.first() == QLatin1String("--at")) {
        const qint64 at = args.at(1).toLongLong();
        args = args.mid(2);
        // Sleep most of the way, then spin, so starts meet within microseconds.
        const qint64 wait = at - QDateTime::currentMSecsSinceEpoch() - 20;
        if (wait > 0) QThread::msleep(quint64(wait));
        while (QDateTime::currentMSecsSinceEpoch() < at) {
        }
    }
    QList<QUrl> urls;
    for (const QString& a : args)
        urls << QUrl(a);
    SingleInstance instance(socket);
    const auto say = [](const QByteArray& line) {
        std::fputs((line + '\n').constData(), stdout);
        std::fflush(stdout);
    };
    if (!instance.claim(urls)) {
        say("not instance");
        return instance.handedOver() ? 0 : 1;
    }
    say("instance");
    QObject::connect(&instance, &SingleInstance::linksArrived, [&](const QList<QUrl>& got) {
        say("links " + QByteArray::number(got.size()));
    });
    QObject::connect(&instance, &SingleInstance::startedAgain, [&] { say("again"); });
    return app.exec();
}
