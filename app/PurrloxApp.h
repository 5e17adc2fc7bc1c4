#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <memory>

class AppModel;
class Automation;
struct CatServices;
class QuietDevices;
class FreedesktopTrash;
class X11Desktop;
class QApplication;
class QuitOnSignals;
class MenuBarExtra;
class XdgAutostart;
class SingleInstance;

// The program's entry: one instance per user, the command line, and the composition root,
// created once and kept for the life of the process.
class PurrloxApp {
  public:
    struct Options {
        QList<QUrl> links;  // purrlox:// links to open
        QString automation; // socket for the test hook; empty = none
    };

    PurrloxApp();
    ~PurrloxApp();

    // Reads the command line; bad arguments are logged and skipped.
    static Options parse(const QStringList& arguments);

    // Runs the application; answers the process exit code.
    int run(QApplication& app);

    AppModel& model();

  private:
    CatServices services();
    struct MenuModels menuModels(QApplication& app);

    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<X11Desktop> desktop_;
    std::unique_ptr<QuietDevices> devices_;
    std::unique_ptr<FreedesktopTrash> trash_;
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<Automation> automation_;
    std::unique_ptr<QuitOnSignals> quitSignals_;
    std::unique_ptr<XdgAutostart> loginItem_;
    std::unique_ptr<MenuBarExtra> menu_;
};
