#include "stats/Export.h"

#include "base/Calendar.h"
#include "base/Log.h"
#include "stats/DialogFiles.h"
#include "strings/Strings.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
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

PopupKept::PopupKept() : popup_(QApplication::activePopupWidget()) {
    if (!popup_) return;
    flags_ = popup_->windowFlags();
    const QRect frame = popup_->geometry();
    popup_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    popup_->setGeometry(frame);
    popup_->show();
}

PopupKept::~PopupKept() {
    if (!popup_ || !popup_->isVisible()) return;
    const QRect frame = popup_->geometry();
    popup_->setWindowFlags(flags_);
    popup_->setGeometry(frame);
    popup_->show();
    popup_->activateWindow();
}

void save(const QByteArray& data, const QString& name, Type type) {
    QString folder = QStandardPaths::writableLocation(
        type == Type::png ? QStandardPaths::PicturesLocation : QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setMimeTypeFilters({identifier(type)});
    dialog.setDefaultSuffix(type == Type::png ? QStringLiteral("png") : QStringLiteral("pdf"));
    dialog.setDirectory(folder);
    dialog.selectFile(name);
    DialogFiles::fit(dialog);
    // A tray app has no window of its own in front; the dialog must not open behind others.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    if (dialog.exec() != QDialog::Accepted) return; // cancelled
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return;
    write(data, chosen.first(), type);
}

} // namespace Export
