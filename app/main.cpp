#include "base/Log.h"
#include "app/PurrloxApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Purrlox"));
    QApplication::setOrganizationDomain(QStringLiteral("purrlox.app"));
    QApplication::setQuitOnLastWindowClosed(false);
    Log::notice(QStringLiteral("Purrlox started"));
    PurrloxApp purrlox;
    return purrlox.run(app);
}
