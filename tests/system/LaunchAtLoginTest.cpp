#include "system/LaunchAtLogin.h"

#include "fakes/Fakes.h"
#include "fakes/LogCapture.h"
#include "platform/xdg/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Autostart : ::testing::Test {
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/autostart"; }
    // An executable the entry can name, at a path that needs quoting.
    QString program(const QString& name = QStringLiteral("my \"cat\" $100% \\bin")) {
        const QString path = dir.path() + u'/' + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    void rewrite(const QString& path, const QByteArray& from, const QByteArray& to) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        ASSERT_TRUE(bytes.contains(from));
        bytes.replace(from, to);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    void SetUp() override {
        QLoggingCategory::setFilterRules(QStringLiteral("app.purrlox.Purrlox.app.debug=true"));
    }
    void TearDown() override { QLoggingCategory::setFilterRules(QString()); }
};

} // namespace

TEST_F(Autostart, TheEntryMapsOntoTheFourStatuses) {
    XdgAutostart item(folder(), program());
    EXPECT_EQ(item.status(), LoginItem::Status::notRegistered);
    EXPECT_EQ(item.enable(), QString());
    EXPECT_EQ(item.status(), LoginItem::Status::enabled); // the odd path came back intact

    // The desktop switched it off: waiting for approval, and enabling does not override that.
    rewrite(item.entryPath(), "X-GNOME-Autostart-enabled=true", "X-GNOME-Autostart-enabled=false");
    EXPECT_EQ(item.status(), LoginItem::Status::requiresApproval);
    EXPECT_EQ(item.enable(), QString());
    EXPECT_EQ(item.status(), LoginItem::Status::requiresApproval);
    rewrite(item.entryPath(), "X-GNOME-Autostart-enabled=false", "Hidden=true");
    EXPECT_EQ(item.status(), LoginItem::Status::requiresApproval);
    EXPECT_EQ(item.disable(), QString());
    EXPECT_EQ(item.status(), LoginItem::Status::notRegistered);

    // The program moved away: not found, until enabling writes the entry anew.
    const QString gone = program(QStringLiteral("old"));
    XdgAutostart old(folder(), gone);
    ASSERT_EQ(old.enable(), QString());
    QFile::remove(gone);
    EXPECT_EQ(item.status(), LoginItem::Status::notFound);
    EXPECT_EQ(item.enable(), QString());
    EXPECT_EQ(item.status(), LoginItem::Status::enabled);

    // Unregistering twice: the second answers why.
    EXPECT_EQ(item.disable(), QString());
    EXPECT_FALSE(item.disable().isEmpty());
    EXPECT_FALSE(QFile::exists(item.entryPath()));
}

// The folder install's entry shows its own icon, which no theme holds; elsewhere the theme's.
TEST_F(Autostart, TheEntryNamesAnIconThatExists) {
    const QString install = dir.path() + "/Purrlox";
    const QString icons = install + "/share/icons/hicolor/scalable/apps";
    ASSERT_TRUE(QDir().mkpath(icons) && QDir().mkpath(install + "/bin"));
    QFile svg(icons + "/app.purrlox.Purrlox.svg");
    ASSERT_TRUE(svg.open(QIODevice::WriteOnly));
    svg.close();
    const auto iconOf = [this](const QString& program) {
        XdgAutostart item(folder(), program);
        EXPECT_EQ(item.enable(), QString());
        QFile entry(item.entryPath());
        EXPECT_TRUE(entry.open(QIODevice::ReadOnly));
        for (const QByteArray& line : entry.readAll().split('\n'))
            if (line.startsWith("Icon=")) return QString::fromUtf8(line.mid(5));
        return QString();
    };
    EXPECT_EQ(iconOf(install + "/bin/purrlox"), QFileInfo(svg).canonicalFilePath());
    EXPECT_EQ(iconOf(program()), "app.purrlox.Purrlox");
}

TEST_F(Autostart, ExecValuesQuoteEverythingTheFormatReserves) {
    for (const QString& path :
         {QStringLiteral("/usr/bin/purrlox"), QStringLiteral("/home/a b/Purrlox/bin/purrlox"),
          QStringLiteral("/x/\"q\"/`t`/$HOME/100%/back\\slash")}) {
        const QString exec = XdgAutostart::execFor(path);
        EXPECT_TRUE(exec.startsWith(u'"')) << exec.toStdString();
        EXPECT_FALSE(exec.contains(QStringLiteral("% "))) << exec.toStdString();
    }
    EXPECT_EQ(XdgAutostart::programOf(QStringLiteral("purrlox --flag")), "purrlox");
    EXPECT_EQ(XdgAutostart::programOf(QStringLiteral("\"/a b/c\" %u")), "/a b/c");
}

TEST_F(Autostart, AFolderThatCannotBeWrittenFailsWithAReason) {
    QFile blocker(dir.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    XdgAutostart item(dir.path() + "/file/autostart", program());
    EXPECT_FALSE(item.enable().isEmpty());
    EXPECT_EQ(item.status(), LoginItem::Status::notRegistered);

    TempSettingsStore defaults;
    LogCapture log;
    LaunchAtLogin model(item, *defaults);
    EXPECT_EQ(model.status(), LoginItem::Status::notRegistered);
    // The first start tried once and is done with it, whatever came of it.
    EXPECT_EQ(defaults->boolean(LaunchAtLogin::configuredKey), true);
    const QStringList lines = log.messages();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("login item register failed: ")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "login item status: notRegistered");
}

TEST_F(Autostart, TheFirstStartRegistersOnceAndTheUsersChoiceStays) {
    TempSettingsStore defaults;
    XdgAutostart item(folder(), program());
    {
        LaunchAtLogin first(item, *defaults);
        EXPECT_EQ(first.status(), LoginItem::Status::enabled);
        EXPECT_EQ(defaults->boolean(LaunchAtLogin::configuredKey), true);
        int changes = 0;
        QObject::connect(&first, &LaunchAtLogin::statusChanged, [&] { ++changes; });
        first.set(false);
        EXPECT_EQ(first.status(), LoginItem::Status::notRegistered);
        EXPECT_EQ(changes, 1);
    }
    // Later starts leave it off.
    LaunchAtLogin later(item, *defaults);
    EXPECT_EQ(later.status(), LoginItem::Status::notRegistered);
    EXPECT_FALSE(QFile::exists(item.entryPath()));

    // Unregistering what is not registered logs the failure and keeps the status.
    LogCapture log;
    later.set(false);
    EXPECT_EQ(later.status(), LoginItem::Status::notRegistered);
    ASSERT_EQ(log.messages().size(), 2);
    EXPECT_TRUE(log.messages()[0].startsWith("login item unregister failed: no autostart entry"));
    EXPECT_EQ(log.messages()[1], "login item status: notRegistered");
}
