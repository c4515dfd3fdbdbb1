#pragma once

#include <QApplication>

namespace mv {

// The application object. An exception that escapes an event handler stops
// that handler only: nothing is shown, one line goes to standard error and the
// program goes on.
class SafeApplication : public QApplication {
  public:
    SafeApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace mv
