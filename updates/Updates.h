#pragma once

#include <QString>
#include <functional>
#include <memory>

class Settings;

// What the app model needs of a self-updater: news of a release ready to install or of an
// install that failed, and the install itself once the user accepts. Builds without the
// self-updater (distribution packages) have none.
class Updates {
  public:
    virtual ~Updates() = default;

    std::function<void(const QString& version)> onReady = [](const QString&) {};
    std::function<void()> onFailed = [] {};

    // Puts the ready release in place of the install and starts it; onFailed when it cannot.
    virtual void install() = 0;

    // How the app makes the updater of its process from the settings store.
    using Make = std::function<std::unique_ptr<Updates>(Settings& defaults)>;
};
