#pragma once

#include "ui/common/dialogs.h"

namespace mv {

// Dialogs that show nothing, for the development windows and benchmarks that
// run a window without a person in front of it: every question gets the one
// reply given at construction, every text box and file dialog is cancelled,
// and the messages are only counted.
class SilentDialogs : public Dialogs {
  public:
    explicit SilentDialogs(bool reply = false) : reply_(reply) {}

    void Information(QWidget*, const QString&) override { ++messages; }
    bool YesNo(QWidget*, const QString&, DefaultAnswer) override { return reply_; }
    bool OkCancel(QWidget*, const QString&, DefaultAnswer) override { return reply_; }
    std::optional<QString> InputText(QWidget*, const QString&, const QString&,
                                     const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }

    int messages = 0;

  private:
    bool reply_;
};

}  // namespace mv
