#include "net/windows/tf_server.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "net/server_address.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

TfServer::TfServer(Dialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(DisplayText("fServer"));
    setWindowTitle(DisplayText("Server"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(DisplayText("The server of the version check and the poll:\n"
                                          "host:port, or an http:// or https:// address"),
                              this);
    layout->addWidget(prompt);
    eServer_ = new QLineEdit(this);
    eServer_->setObjectName(DisplayText("eServer"));
    eServer_->setMinimumWidth(320);
    prompt->setBuddy(eServer_);
    layout->addWidget(eServer_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bOK_ = new QPushButton(DisplayText("OK"), this);
    bOK_->setObjectName(DisplayText("bOK"));
    bOK_->setDefault(true);
    bCancel_ = new QPushButton(DisplayText("Cancel"), this);
    bCancel_->setObjectName(DisplayText("bCancel"));
    buttons->addWidget(bOK_);
    buttons->addWidget(bCancel_);
    layout->addLayout(buttons);
    connect(bOK_, &QPushButton::clicked, this, &TfServer::bOKClick);
    connect(bCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TfServer::Open(const std::string& current) {
    server_.clear();
    eServer_->setText(DisplayText(current));
    eServer_->selectAll();
    eServer_->setFocus();
    setResult(QDialog::Rejected);
}

std::optional<std::string> TfServer::Ask(const std::string& current) {
    Open(current);
    if (exec() != QDialog::Accepted) return std::nullopt;
    return server_;
}

void TfServer::bOKClick() {
    const ServerAddressCheck check = CheckServerAddress(TypedBytes(eServer_->text()));
    if (!check.ok) {
        dialogs_.Information(this, DisplayText(check.message));
        eServer_->setFocus();
        return;
    }
    server_ = check.server;
    accept();
}

}  // namespace mv
