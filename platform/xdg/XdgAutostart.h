#pragma once

#include "platform/LoginItem.h"

#include <QString>

// The login item as an XDG autostart entry, app.purrlox.Purrlox.desktop in the user's
// autostart folder. A desktop that switched the entry off (Hidden=true, or GNOME's
// X-GNOME-Autostart-enabled=false) leaves it waiting for approval: enabling does not override
// that choice, the desktop's settings do.
class XdgAutostart final : public LoginItem {
  public:
    static constexpr const char* fileName = "app.purrlox.Purrlox.desktop";

    // `program` is what the entry starts (this binary unless told otherwise).
    explicit XdgAutostart(QString folder = defaultFolder(), QString program = {});

    static QString defaultFolder(); // $XDG_CONFIG_HOME/autostart
    QString entryPath() const;

    Status status() const override;
    QString enable() override;
    QString disable() override;
    void openSettings() override;

    // The Exec value for a program path, quoted and escaped as desktop entries want.
    static QString execFor(const QString& program);
    // The program an Exec value starts: its first argument, unquoted.
    static QString programOf(const QString& exec);

  private:
    QString folder_;
    QString program_;
};
