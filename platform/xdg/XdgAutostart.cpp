#include "platform/xdg/XdgAutostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Keys of the [Desktop Entry] group, values unescaped at the string level.
QHash<QString, QString> readEntry(const QByteArray& bytes) {
    QHash<QString, QString> keys;
    bool inEntry = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || line.startsWith(u'#')) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) continue;
        QString value;
        const QString rawValue = line.mid(eq + 1).trimmed();
        for (qsizetype i = 0; i < rawValue.size(); ++i) {
            if (rawValue[i] == u'\\' && i + 1 < rawValue.size()) {
                const QChar next = rawValue[++i];
                value += next == u's'   ? QChar(u' ')
                         : next == u'n' ? QChar(u'\n')
                         : next == u't' ? QChar(u'\t')
                         : next == u'r' ? QChar(u'\r')
                                        : next;
            } else {
                value += rawValue[i];
            }
        }
        keys.insert(line.left(eq).trimmed(), value);
    }
    return keys;
}

// The icon of the entry: a system install's is in the hicolor theme under the app's id; the
// self-contained folder install's is its own file, which no theme holds.
QString iconFor(const QString& program) {
    const QFileInfo own(
        QFileInfo(program).absolutePath() +
        QStringLiteral("/../share/icons/hicolor/scalable/apps/app.purrlox.Purrlox.svg"));
    if (program.startsWith(QLatin1String("/usr/")) || !own.exists())
        return QStringLiteral("app.purrlox.Purrlox");
    return own.canonicalFilePath().replace(u'\\', QStringLiteral("\\\\"));
}

bool isFalse(const QString& value) {
    return value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0;
}
bool isTrue(const QString& value) {
    return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString printed(LoginItem::Status status) {
    switch (status) {
    case LoginItem::Status::notRegistered:
        return QStringLiteral("notRegistered");
    case LoginItem::Status::enabled:
        return QStringLiteral("enabled");
    case LoginItem::Status::requiresApproval:
        return QStringLiteral("requiresApproval");
    case LoginItem::Status::notFound:
        return QStringLiteral("notFound");
    }
    return QStringLiteral("unknown");
}

XdgAutostart::XdgAutostart(QString folder, QString program)
    : folder_(std::move(folder)), program_(std::move(program)) {
    if (program_.isEmpty()) program_ = QCoreApplication::applicationFilePath();
}

QString XdgAutostart::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString XdgAutostart::entryPath() const {
    return folder_ + u'/' + QString::fromLatin1(fileName);
}

QString XdgAutostart::execFor(const QString& program) {
    // Quoted argument rules first, then the string-level escaping of the key's value.
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'%', QStringLiteral("%%"));
    return quoted;
}

QString XdgAutostart::programOf(const QString& exec) {
    QString program;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size()) {
                program += exec[++i];
            } else if (c == u'"') {
                quoted = false;
            } else {
                program += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c.isSpace()) {
            if (!program.isEmpty()) break;
        } else {
            program += c;
        }
    }
    program.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return program;
}

LoginItem::Status XdgAutostart::status() const {
    QFile file(entryPath());
    if (!file.exists()) return Status::notRegistered;
    if (!file.open(QIODevice::ReadOnly)) return Status::requiresApproval;
    const QHash<QString, QString> keys = readEntry(file.readAll());
    if (isTrue(keys.value(QStringLiteral("Hidden"))) ||
        isFalse(keys.value(QStringLiteral("X-GNOME-Autostart-enabled"), QStringLiteral("true"))))
        return Status::requiresApproval;
    QString program = programOf(keys.value(QStringLiteral("Exec")));
    if (!program.isEmpty() && !program.contains(u'/'))
        program = QStandardPaths::findExecutable(program);
    const QFileInfo target(program);
    if (program.isEmpty() || !target.isFile() || !target.isExecutable()) return Status::notFound;
    return Status::enabled;
}

QString XdgAutostart::enable() {
    // A user's own switch-off in the desktop's settings stays theirs to undo.
    if (status() == Status::requiresApproval) return {};
    if (!QDir().mkpath(folder_)) return QStringLiteral("cannot create %1").arg(folder_);
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Purrlox\n"
                                         "Comment=A cat on your desktop\n"
                                         "Exec=%1\n"
                                         "Icon=%2\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execFor(program_), iconFor(program_));
    file.write(entry.toUtf8());
    if (!file.commit()) return file.errorString();
    return {};
}

QString XdgAutostart::disable() {
    QFile file(entryPath());
    if (!file.exists()) return QStringLiteral("no autostart entry at %1").arg(entryPath());
    if (!file.remove()) return file.errorString();
    return {};
}

void XdgAutostart::openSettings() {
    // The desktops' own startup-applications settings, else the folder itself.
    const QList<QStringList> tools{
        {QStringLiteral("gnome-session-properties")},
        {QStringLiteral("xfce4-session-settings")},
        {QStringLiteral("mate-session-properties")},
        {QStringLiteral("lxqt-config-session")},
        {QStringLiteral("systemsettings"), QStringLiteral("kcm_autostart")},
        {QStringLiteral("cinnamon-settings"), QStringLiteral("startup")},
    };
    for (const QStringList& tool : tools) {
        const QString path = QStandardPaths::findExecutable(tool.first());
        if (!path.isEmpty() && QProcess::startDetached(path, tool.mid(1))) return;
    }
    QDir().mkpath(folder_);
    QProcess::startDetached(QStringLiteral("xdg-open"), {folder_});
}
