#include <gtest/gtest.h>

#ifdef PURRLOX_GUI_TESTS
#include <QGuiApplication>
#else
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifdef PURRLOX_GUI_TESTS
    QGuiApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
