// Prints what the X11 desktop backends see, as one JSON object per line, for the e2e tests.
//   x11probe                 one reading
//   x11probe --every MS      a reading every MS milliseconds until killed
//   x11probe --warp X,Y      warp the pointer to (X, Y) points first
#include "platform/Clock.h"
#include "platform/x11/X11Desktop.h"
#include "platform/x11/X11InputIdle.h"
#include "platform/x11/X11Pointer.h"
#include "platform/x11/X11Screens.h"
#include "platform/x11/X11WindowList.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <cstdio>

namespace {

QJsonArray rect(const Rect& r) {
    return {r.x, r.y, r.width, r.height};
}
QJsonArray rect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

QJsonObject reading(X11Desktop& desktop) {
    QJsonObject screen{{"present", desktop.screens().hasScreen()},
                       {"frame", rect(desktop.screens().frame())},
                       {"visible", rect(desktop.screens().visibleFrame())},
                       {"visiblePixels", rect(desktop.screens().workAreaPixels())},
                       {"refreshRate", desktop.screens().refreshRate()}};
    QJsonArray monitors;
    for (const Monitor& m : desktop.screens().monitors())
        monitors.append(QJsonObject{{"name", m.name},
                                    {"frame", rect(m.frame)},
                                    {"visible", rect(m.visibleFrame)},
                                    {"refreshRate", m.refreshRate},
                                    {"pixelRatio", m.pixelRatio},
                                    {"primary", m.primary}});
    screen.insert("monitors", monitors);
    QJsonArray windows;
    for (const X11Window& w : desktop.windowList().current()) {
        QJsonObject o{{"id", qint64(w.info.id)},
                      {"frame", rect(w.info.frame)},
                      {"pixels", rect(w.pixels)},
                      {"layer", w.info.layer},
                      {"alpha", w.info.alpha.value_or(1.0)},
                      {"onScreen", w.info.onScreen}};
        o["pid"] = w.info.pid ? QJsonValue(*w.info.pid) : QJsonValue();
        windows.append(o);
    }
    const auto& trips = desktop.windowList().roundTrips();
    const QPointF at = desktop.pointer().location();
    return {{"screen", screen},
            {"windows", windows},
            {"generation", qint64(desktop.windowList().generation())},
            {"refreshes", qint64(desktop.windowList().refreshes())},
            {"roundTrips", qint64(trips.trips)},
            {"idle", QJsonObject{{"any", desktop.inputIdle().secondsSinceAnyInput()},
                                 {"key", desktop.inputIdle().secondsSinceKeyDown()},
                                 {"mouse", desktop.inputIdle().secondsSinceMouseMoved()}}},
            {"pointer", QJsonObject{{"x", at.x()},
                                    {"y", at.y()},
                                    {"buttons", int(desktop.pointer().buttonMask())}}}};
}

void print(X11Desktop& desktop) {
    const QByteArray line = QJsonDocument(reading(desktop)).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    QCommandLineOption every("every", "Print a reading every MS milliseconds.", "MS");
    QCommandLineOption warp("warp", "Warp the pointer to X,Y points first.", "X,Y");
    parser.addOptions({every, warp});
    parser.addHelpOption();
    parser.process(app);

    X11Desktop desktop(Clock::system());
    if (parser.isSet(warp)) {
        const QStringList xy = parser.value(warp).split(',');
        if (xy.size() == 2) desktop.pointer().warp(QPointF(xy[0].toDouble(), xy[1].toDouble()));
        // Let the server's reaction to the warp arrive before reading.
        QTimer::singleShot(300, &app, [&] { app.quit(); });
        app.exec();
    }
    if (!parser.isSet(every)) {
        QCoreApplication::processEvents();
        print(desktop);
        return 0;
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { print(desktop); });
    timer.start(std::max(10, parser.value(every).toInt()));
    print(desktop);
    return app.exec();
}
