#pragma once

#include "ui/common/dialogs.h"

namespace mv {

// The program's Dialogs: Qt's modal message boxes, input box and file dialogs.
// This is the one file that names the Qt dialog classes.
class QtDialogs : public Dialogs {
  public:
    // `caption` titles the message boxes (the program's name).
    explicit QtDialogs(QString caption);

    void Information(QWidget* parent, const QString& text) override;
    bool YesNo(QWidget* parent, const QString& text, DefaultAnswer defaultAnswer) override;
    bool OkCancel(QWidget* parent, const QString& text, DefaultAnswer defaultAnswer) override;
    std::optional<QString> InputText(QWidget* parent, const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) override;

  private:
    QString caption_;
};

}  // namespace mv
