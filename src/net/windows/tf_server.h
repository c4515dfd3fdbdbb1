#pragma once

// TfServer: Options > Server..., where the user sets the server of the
// version check and the poll. It opens on the current value; OK keeps a value
// CheckServerAddress accepts and otherwise says what is wrong (through the
// Dialogs seam) and stays open; Cancel changes nothing.
//
//   TfServer dialog(dialogs, window);
//   if (auto server = dialog.Ask(settings.server)) settings.server = *server;

#include <QDialog>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace mv {

class Dialogs;

class TfServer : public QDialog {
    Q_OBJECT
  public:
    explicit TfServer(Dialogs& dialogs, QWidget* parent = nullptr);

    // Shows the dialog modally on `current`; the accepted value, or nullopt
    // for Cancel.
    std::optional<std::string> Ask(const std::string& current);

    // Fills the box without showing the dialog (Ask does it first).
    void Open(const std::string& current);
    // OK: accepts a good value, else the message box and the dialog stays.
    void bOKClick();
    // The value OK accepted, as it is kept.
    const std::string& Server() const { return server_; }

  private:
    Dialogs& dialogs_;
    QLineEdit* eServer_ = nullptr;
    QPushButton* bOK_ = nullptr;
    QPushButton* bCancel_ = nullptr;
    std::string server_;
};

}  // namespace mv
