#pragma once

#include "platform/wayland/CompositorChannel.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>
#include <memory>

class QDBusMessage;
class MutterIdle;

// GNOME Shell's windows, from the Purrlox extension running inside the Shell: it signals the
// whole list on every change, and answers the pointer on request. Lists are taken only from the
// unique bus name that owns org.gnome.Shell, so no other program can feed the cat. The Shell
// restarting or the extension being disabled is a lost channel; it comes back on its own.
class GnomeShellChannel final : public QObject, public CompositorChannel {
    Q_OBJECT
  public:
    static constexpr const char* kUuid = "purrlox@purrlox.app";
    static constexpr qsizetype kMaxBytes = 1 << 20; // a thousand windows fit many times over

    // xwayland: the X11 idle times, for what GNOME's idle monitor does not tell (key presses).
    GnomeShellChannel(InputIdle& xwayland, QDBusConnection bus = QDBusConnection::sessionBus());
    ~GnomeShellChannel() override;

    QString name() const override { return QStringLiteral("GNOME Shell"); }
    void start() override;
    bool offersPointer() const override { return true; }
    void wantPointer(bool wanted) override;
    InputIdle* idle() override;

    // When the Shell first answers that the extension is not enabled (installed: it is there
    // but off; else the Shell does not know it yet).
    std::function<void(bool installed)> onExtensionOff;

    // The extension's list as the seam wants it: nullopt (and why) when it is not one.
    static std::optional<CompositorWindows> parse(const QByteArray& json, qint64 ownPid,
                                                  QString* why);

  private slots:
    void windowsSignal(const QDBusMessage& message);
    void extensionSignal(const QDBusMessage& message);

  private:
    void ownerIs(const QString& owner);
    void askState();
    void stateIs(double state);
    void askWindows();
    void askPointer();
    void accept(const QString& json);
    void lose(const QString& why);

    QDBusConnection bus_;
    QDBusServiceWatcher watcher_;
    QString owner_;     // the Shell's unique name; empty while it is not on the bus
    quint64 epoch_ = 0; // bumped on every loss, so late replies from before are dropped
    bool live_ = false; // lists are arriving
    bool lostTold_ = false;
    bool stateKnown_ = false; // the extension's state has been read once
    bool badTold_ = false;
    bool strangerTold_ = false;
    QTimer pointerTimer_;
    std::unique_ptr<MutterIdle> idle_;
};
