#pragma once

#include <QWidget>
#include <functional>

class CuteToggle;
class Settings;
class LaunchAtLogin;
class QuietButton;

// "Open at login", the approval button while the desktop holds the entry back, "Check for
// updates" in builds that update themselves (`updateChecks` is where the switch is stored;
// none: no switch), then the language and Quit buttons.
class MenuFooter : public QWidget {
    Q_OBJECT
  public:
    MenuFooter(LaunchAtLogin& launchAtLogin, Settings* updateChecks,
               std::function<void()> openLanguage, std::function<void()> quit,
               QWidget* parent = nullptr);

    CuteToggle* loginToggle() const { return toggle_; }
    CuteToggle* updatesToggle() const { return updates_; }
    QuietButton* allowButton() const { return allow_; }
    QuietButton* languageButton() const { return language_; }
    QuietButton* quitButton() const { return quit_; }

  private:
    void showStatus();

    LaunchAtLogin& launchAtLogin_;
    CuteToggle* toggle_;
    CuteToggle* updates_ = nullptr;
    QuietButton* allow_;
    QuietButton* language_ = nullptr;
    QuietButton* quit_;
};
