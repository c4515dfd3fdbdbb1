#pragma once

#include <QCoreApplication>

// The one application object of the test process, made on first use (the
// socket notifiers of the player need its event loop).
inline QCoreApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "player_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}
