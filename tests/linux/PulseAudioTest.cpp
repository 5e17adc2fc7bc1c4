#include "platform/linux/PulseAudio.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

// No server at the address: every answer is "no", and one line says why.
TEST(PulseAudioTest, WithoutAServerNothingIsInUse) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/purrlox-test-pulse");
    QStringList lines;
    static QStringList* sink = nullptr;
    sink = &lines;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
            if (sink && message.startsWith(QLatin1String("sound:"))) sink->append(message);
        });
    {
        PulseAudio sound;
        QThread::msleep(300);
        EXPECT_FALSE(sound.microphoneInUse());
        EXPECT_FALSE(sound.musicPlaying());
        EXPECT_TRUE(sound.processes().empty());
        QThread::msleep(1500); // a retry has happened meanwhile
    }
    qInstallMessageHandler(previous);
    sink = nullptr;
    qunsetenv("PULSE_SERVER");
    EXPECT_EQ(lines.filter("no sound server").size(), 1) << lines.join('\n').toStdString();
}
