#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace mv {

// The button Enter presses in a question. A question that deletes or overwrites
// something defaults to the cautious answer (No, Cancel), so a stray Enter
// never costs the user a file.
enum class DefaultAnswer { Cautious, Affirmative };

// Every message box, question, input box and file dialog of the program goes
// through this seam. The program uses QtDialogs; tests use a scripted one that
// records each text shown and answers from a queue.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // A message with an OK button.
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool YesNo(QWidget* parent, const QString& text, DefaultAnswer defaultAnswer) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool OkCancel(QWidget* parent, const QString& text, DefaultAnswer defaultAnswer) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> InputText(QWidget* parent, const QString& caption,
                                             const QString& prompt, const QString& initial) = 0;
    // File dialogs; nullopt when cancelled. `filter` uses Qt's filter syntax.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& caption,
                                            const QString& folder, const QString& filter) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& caption,
                                            const QString& folder, const QString& filter) = 0;
};

}  // namespace mv
