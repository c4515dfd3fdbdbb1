#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <variant>
#include <vector>

#include "ui/common/dialogs.h"

namespace mv {

// Dialogs for tests: records every box shown, in order, and answers from a
// queue filled by the test. A box with no queued answer, or with an answer of
// the wrong kind, fails the running test and gets the cautious answer (No,
// Cancel), so a forgotten answer never deletes or overwrites anything.
class ScriptedDialogs : public Dialogs {
  public:
    enum class Kind { Information, YesNo, OkCancel, InputText, OpenFile, SaveFile };

    struct Shown {
        Kind kind;
        QString caption;  // input box and file dialog caption; empty for message boxes
        QString text;     // message, question or prompt; the caption for file dialogs
        QString initial;  // input box text, or the file dialog's folder
        QString filter;   // file dialogs only
        // Questions only: the button Enter would press.
        DefaultAnswer defaultAnswer = DefaultAnswer::Cautious;
    };

    // Answer to the next YesNo or OkCancel: true for Yes / OK.
    void QueueReply(bool yesOrOk);
    // Answer to the next InputText, OpenFile or SaveFile: nullopt for Cancel.
    void QueueText(std::optional<QString> text);

    const std::vector<Shown>& History() const { return shown_; }
    // The `text` of every box shown, in order.
    QStringList Texts() const;
    // Answers queued but not used yet.
    size_t Pending() const { return answers_.size(); }
    void ClearHistory() { shown_.clear(); }

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
    using Answer = std::variant<bool, std::optional<QString>>;
    bool TakeReply(const QString& text);
    std::optional<QString> TakeText(const QString& text);

    std::vector<Shown> shown_;
    std::deque<Answer> answers_;
};

}  // namespace mv
