#pragma once

#include "platform/wayland/CompositorChannel.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>

class QDBusServiceWatcher;

// KDE Plasma's windows, from a script Purrlox loads into KWin over its scripting interface
// (org.kde.kwin.Scripting) and unloads again when it quits. The script calls back on an object
// of ours on the session bus whenever a window moves, stacks, minimizes, changes desktop or
// state, and when the pointer moves; calls from anyone but KWin's own connection are dropped.
// When KWin leaves the bus the cat walks on the floor; when it is back the script is loaded
// again.
class KWinChannel final : public QObject, public CompositorChannel, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.purrlox.Purrlox.KWin")

  public:
    static constexpr const char* kObjectPath = "/app/purrlox/Purrlox/KWin";

    explicit KWinChannel(QDBusConnection bus = QDBusConnection::sessionBus());
    ~KWinChannel() override;

    QString name() const override { return QStringLiteral("KWin"); }
    void start() override;
    bool offersPointer() const override { return true; }
    // KWin 5.27 keeps its pointer where it is when an X11 client warps XWayland's (measured:
    // workspace.cursorPos does not follow), so the pounce ends without the carry.
    bool allowsWarp() const override { return false; }

  public Q_SLOTS:
    // The script's calls, on our object.
    Q_SCRIPTABLE void windows(const QString& list);
    Q_SCRIPTABLE void pointer(const QString& position);

  private:
    void ownerChanged(const QString& owner);
    void load();
    void run(int id, bool plasma6Path);
    void unload();
    bool fromKWin();
    QString scriptPath() const;

    QDBusConnection bus_;
    QDBusServiceWatcher* watcher_ = nullptr;
    QString owner_;       // KWin's unique name while it is on the bus
    QString script_;      // the script file, written once with our name and pid in it
    quint64 loading_ = 0; // counts loads, so a slow reply from an old KWin is not taken
    bool registered_ = false;
    bool loaded_ = false;
    bool heard_ = false; // a list came since the script last started
    bool refusedStranger_ = false;
    QString lastProblem_;
};
