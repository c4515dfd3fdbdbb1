#pragma once

#include <QApplication>

namespace mv::test {

// The test program's application, made by the shared Qt test main
// (qt_test_main.cpp) so that it ends before the program's static objects do.
inline QApplication& TestApplication() {
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace mv::test
