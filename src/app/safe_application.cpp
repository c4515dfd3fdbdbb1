#include "app/safe_application.h"

#include <cstdio>
#include <exception>

namespace mv {

SafeApplication::SafeApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Mp3 Vandrel"));
}

bool SafeApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mp3vandrel: a command stopped on an error: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "mp3vandrel: a command stopped on an unknown error\n");
    }
    return false;
}

}  // namespace mv
