#include "app/Automation.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QJsonObject echo(const QJsonObject& request) {
    return {{"seen", request.value("cmd")}};
}

QJsonObject parse(const QByteArray& line) {
    return QJsonDocument::fromJson(line).object();
}

TEST(Automation, AnswersEachLineAndRefusesWhatIsNotAnObject) {
    Automation automation(echo);
    EXPECT_EQ(parse(automation.answer(R"({"cmd":"state"})"
                                      "\n"))
                  .value("seen"),
              "state");
    for (const QByteArray& bad : {QByteArray("{nope"), QByteArray("[1,2]"), QByteArray("")}) {
        const QByteArray reply = automation.answer(bad);
        EXPECT_TRUE(reply.endsWith('\n'));
        EXPECT_TRUE(parse(reply).contains("error")) << bad.constData();
    }
}

TEST(Automation, ServesRequestsOverItsSocket) {
    QTemporaryDir dir;
    Automation automation(echo);
    ASSERT_TRUE(automation.listen(dir.path() + "/auto"));

    QLocalSocket client;
    client.connectToServer(dir.path() + "/auto");
    ASSERT_TRUE(client.waitForConnected(2000));
    client.write("{\"cmd\":\"a\"}\n{\"cmd\":\"b\"}\n");
    QByteArray replies;
    for (int i = 0; i < 50 && replies.count('\n') < 2; ++i) {
        client.waitForReadyRead(100);
        QCoreApplication::processEvents();
        replies += client.readAll();
    }
    const QList<QByteArray> lines = replies.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(parse(lines[0]).value("seen"), "a");
    EXPECT_EQ(parse(lines[1]).value("seen"), "b");
}

} // namespace
