#include <ctime>
#include <gtest/gtest.h>

#ifdef PURRLOX_GUI_TESTS
#include <QApplication>
#else
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
    // Calendar tests are written for a zone with daylight saving; GUI tests need no display.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
#ifdef PURRLOX_GUI_TESTS
    QApplication app(argc, argv); // widgets need the full application object
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
