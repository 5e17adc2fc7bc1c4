#pragma once

#include "platform/LoginItem.h"

#include <QObject>

class Settings;

// Mirrors whether Purrlox starts at login, and switches it. The first start of the app turns
// it on once ("launchAtLoginConfigured"); afterwards only the user's toggle changes it.
class LaunchAtLogin : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* configuredKey = "launchAtLoginConfigured";

    LaunchAtLogin(LoginItem& item, Settings& defaults, QObject* parent = nullptr);

    LoginItem::Status status() const { return status_; }
    void set(bool enabled);
    // The desktop's startup-applications settings (for an entry waiting for approval).
    void openSettings() { item_.openSettings(); }

  signals:
    void statusChanged();

  private:
    LoginItem& item_;
    LoginItem::Status status_;
};
