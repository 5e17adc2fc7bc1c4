#pragma once

#include <QString>

// The system's record that this application starts at login.
class LoginItem {
  public:
    enum class Status {
        notRegistered,    // no entry
        enabled,          // starts at login
        requiresApproval, // the entry is there but the desktop has it switched off
        notFound,         // the entry names a program that is gone
    };

    virtual ~LoginItem() = default;
    virtual Status status() const = 0;
    // Each answers an error description, empty on success.
    virtual QString enable() = 0;
    virtual QString disable() = 0;
    // Shows the desktop's own list of programs started at login.
    virtual void openSettings() = 0;
};

// "notRegistered", "enabled", "requiresApproval", "notFound".
QString printed(LoginItem::Status status);
