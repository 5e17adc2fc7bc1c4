#include "stats/Export.h"

#include "base/Log.h"
#include "focus/Calendar.h"
#include "strings/Strings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QSaveFile>
#include <QStandardPaths>

namespace Export {

QString identifier(Type type) {
    return type == Type::png ? QStringLiteral("image/png") : QStringLiteral("application/pdf");
}

QString name(const QString& extension, QDate today) {
    return S().exportName() + QLatin1Char(' ') + today.toString(Qt::ISODate) + QLatin1Char('.') +
           extension;
}

QString name(const QString& extension) {
    return name(extension, Calendar::dayOf(QDateTime::currentDateTime()));
}

QString write(const QByteArray& data, const QString& path, Type type) {
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (file.write(data) != data.size())
        reason = file.errorString();
    else if (!file.commit())
        reason = file.errorString();
    if (reason.isEmpty()) return {};
    if (file.isOpen()) file.cancelWriting();
    Log::error(QStringLiteral("cannot save %1: %2").arg(identifier(type), reason));
    return reason;
}

void save(const QByteArray& data, const QString& name, Type type) {
    // A tray app has no window of its own in front; the dialog must not open behind others.
    if (QWidget* window = QApplication::activeWindow()) window->raise();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (type == Type::pdf || folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    const QString filter =
        type == Type::png ? QStringLiteral("PNG (*.png)") : QStringLiteral("PDF (*.pdf)");
    const QString path = QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(),
                                                      QDir(folder).filePath(name), filter);
    if (path.isEmpty()) return; // cancelled
    write(data, path, type);
}

} // namespace Export
