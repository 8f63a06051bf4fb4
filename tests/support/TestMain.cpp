// Test entry point: runs GoogleTest inside a Qt application object, a QApplication when
// built with MORVANE_TEST_GUI (widget tests, offscreen), a QCoreApplication otherwise.
#include <gtest/gtest.h>

#ifdef MORVANE_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
