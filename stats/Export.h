#pragma once

#include <QByteArray>
#include <QDate>
#include <QPointer>
#include <QString>
#include <QWidget>

// Saving an export where the user chooses.
namespace Export {

enum class Type { png, pdf };

// The type's identifier in log lines and the dialog's filter: its MIME type.
QString identifier(Type type);

// "Purrlox week 2026-12-06.png": the exportName text, the day as an ISO date, the extension.
QString name(const QString& extension, QDate today);
QString name(const QString& extension); // today in the local calendar

// Writes the bytes to path (atomically, so a failed write leaves an older file whole). On
// failure logs "cannot save <type>: <reason>" and answers the reason; empty on success.
QString write(const QByteArray& data, const QString& path, Type type);

// While it lives, the open popup (the menu window), which any other window taking the focus
// would close, is an ordinary window on top: it stays behind the save dialog and its
// renders. A popup again afterwards.
class PopupKept {
  public:
    PopupKept();
    ~PopupKept();
    PopupKept(const PopupKept&) = delete;
    PopupKept& operator=(const PopupKept&) = delete;

  private:
    QPointer<QWidget> popup_;
    Qt::WindowFlags flags_;
};

// Brings the app forward, runs the save dialog offering `name`, and writes the file when the
// user picks a place. Cancelling does nothing.
void save(const QByteArray& data, const QString& name, Type type);

} // namespace Export
