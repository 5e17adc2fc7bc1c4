#pragma once

#include "updates/Updates.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>

class AppModel;
class CatOverlay;
class Automation;
struct CatServices;
class LinuxDevices;
class FreedesktopTrash;
class WaylandDesktop;
class CompositorWatch;
class X11Desktop;
class X11Panel;
class QApplication;
class QuitOnSignals;
class TrayMenu;
class XdgAutostart;
class SingleInstance;
class InstanceCommands;
class Pomodoro;
class ShellPanelLabel;
class QDBusServiceWatcher;

// The program's entry: one instance per user, the command line, and the composition root,
// created once and kept for the life of the process.
class PurrloxApp {
  public:
    struct Options {
        // What the command line asks for: run the cat, print the help or the version, or
        // refuse (an unknown option or a missing value; `problem` says which).
        enum class Ask { run, help, version, refuse };
        Ask ask = Ask::run;
        QString problem;
        QList<QUrl> links;  // purrlox:// links to open
        QString automation; // socket for the test hook; empty = none
        // Qt's own -platform and -display, when given: the display is probed before Qt opens it.
        QString platform;
        QString display;
        // A command for the running Purrlox (--status, --focus start|stop, --open), which
        // this start hands over and exits; with none running, --focus start and --open start
        // Purrlox and then do it.
        enum class Command { none, status, focusStart, focusStop, open };
        Command command = Command::none;
        bool json = false;   // --status as waybar's JSON
        bool follow = false; // --status at every change, until Purrlox quits
        // The command as the instance socket carries it.
        QString commandLine() const;
    };

    // makeUpdates makes the self-updater; builds without one pass none.
    explicit PurrloxApp(Updates::Make makeUpdates = {});
    ~PurrloxApp();

    // Reads the command line, Qt's own options included. An argument that is not a purrlox://
    // link is logged and skipped; an unknown option refuses the whole line.
    static Options parse(const QStringList& arguments);
    // The text of --help.
    static QString usage();
    // Hands a command to the running Purrlox and answers the exit code; nullopt when none
    // runs and this start is to become Purrlox and do it.
    static std::optional<int> askRunning(const Options& options);

    // Runs the application; answers the process exit code.
    int run(QApplication& app);

    AppModel& model();

  private:
    CatServices services();
    struct MenuModels menuModels(QApplication& app);
    void adviseGnome(CatOverlay& cats);
    void offerShellPanel(Pomodoro& pomodoro);
    void wireTray();
    void followTrayHosts();

    Updates::Make makeUpdates_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<X11Desktop> desktop_;
    std::unique_ptr<WaylandDesktop> wayland_; // after desktop_: it borrows the X11 backends
    std::unique_ptr<LinuxDevices> devices_;
    X11Panel* bedPanel_ = nullptr; // owned by the overlay; the cat's panel stays above it
    std::unique_ptr<FreedesktopTrash> trash_;
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<Automation> automation_;
    std::unique_ptr<QuitOnSignals> quitSignals_;
    std::unique_ptr<XdgAutostart> loginItem_;
    std::unique_ptr<CompositorWatch> compositor_; // for the menu's shadow
    std::unique_ptr<TrayMenu> menu_;
    std::unique_ptr<InstanceCommands> commands_;
    std::unique_ptr<ShellPanelLabel> shellPanel_; // the paw for GNOME's top bar
    std::unique_ptr<QDBusServiceWatcher> trayHosts_;
};
