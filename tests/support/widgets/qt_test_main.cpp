#include <gtest/gtest.h>

#include <QApplication>

// Qt tests need one application for the whole run; made here, in main, it is
// destroyed before exit while Qt's own globals still exist.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Headless unless told otherwise, also when the tests are only listed.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
