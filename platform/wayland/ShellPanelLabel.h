#pragma once

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

// The paw's label for the GNOME Shell extension's panel button, shown where no tray host shows
// our item: Purrlox owns app.purrlox.Purrlox and tells the text beside the paw (the countdown,
// empty while no timer runs) only when it changes, and not at all while a tray host is there
// (the button is hidden then, and reads the label when it shows again); the button hands back
// its clicks with the place under it, in the Shell's logical pixels.
class ShellPanelLabel final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "app.purrlox.Shell.Label")
  public:
    static inline const QString service = QStringLiteral("app.purrlox.Purrlox");
    static inline const QString path = QStringLiteral("/app/purrlox/Shell/Label");

    explicit ShellPanelLabel(QDBusConnection bus = QDBusConnection::sessionBus(),
                             QObject* parent = nullptr);
    ~ShellPanelLabel() override;

    bool exported() const { return exported_; }
    // Asks the Shell whether our extension (which shows the button) is enabled; answers false
    // when the Shell does not say.
    void askShown(std::function<void(bool shown)> answer);
    void setText(const QString& text);

    // The button was clicked; the point is under its middle, in the Shell's logical pixels.
    std::function<void(QPoint)> onOpen;

  public slots:
    Q_SCRIPTABLE QString GetLabel() const { return text_; }
    Q_SCRIPTABLE void Open(int x, int y);

  signals:
    Q_SCRIPTABLE void LabelChanged(const QString& text);

  private:
    QDBusConnection bus_;
    QString text_;
    bool exported_ = false;
    bool trayHost_ = false;
    QDBusServiceWatcher* trayHosts_ = nullptr;
};
