#include "base/Log.h"

#include <gtest/gtest.h>

namespace {

QList<QPair<QtMsgType, QString>> seen;

void capture(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
    if (QByteArray(ctx.category) == "app.purrlox.Purrlox.app") seen.append({type, msg});
}

} // namespace

TEST(Log, ThreeLevelsInOneCategory) {
    seen.clear();
    QLoggingCategory::setFilterRules(QStringLiteral("app.purrlox.Purrlox.app.debug=true"));
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    Log::info("i");
    Log::notice("n");
    Log::error("e");
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0], qMakePair(QtDebugMsg, QString("i")));
    EXPECT_EQ(seen[1], qMakePair(QtInfoMsg, QString("n")));
    EXPECT_EQ(seen[2], qMakePair(QtWarningMsg, QString("e")));
}

TEST(Log, InfoIsOffUnlessAskedForWhileDefaultAndErrorShow) {
    seen.clear();
    const QtMessageHandler previous = qInstallMessageHandler(capture);
    Log::info("quiet");
    Log::notice("shown");
    qInstallMessageHandler(previous);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].second, QString("shown"));
}

TEST(Log, PrivateArgumentsAreRedactedByDefault) {
    // The test environment never sets PURRLOX_LOG_PRIVATE.
    ASSERT_FALSE(Log::showsPrivate());
    EXPECT_EQ(Log::priv("/home/me/secret.txt"), QString("<private>"));
}
