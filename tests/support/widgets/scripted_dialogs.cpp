#include "support/widgets/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace mv {

void ScriptedDialogs::QueueReply(bool yesOrOk) {
    answers_.emplace_back(yesOrOk);
}

void ScriptedDialogs::QueueText(std::optional<QString> text) {
    answers_.emplace_back(std::move(text));
}

QStringList ScriptedDialogs::Texts() const {
    QStringList texts;
    for (const auto& s : shown_) texts << s.text;
    return texts;
}

bool ScriptedDialogs::TakeReply(const QString& text) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unanswered question: " << text.toStdString();
        return false;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    if (const bool* reply = std::get_if<bool>(&a)) return *reply;
    ADD_FAILURE() << "a text was queued, but a question came: " << text.toStdString();
    return false;
}

std::optional<QString> ScriptedDialogs::TakeText(const QString& text) {
    if (answers_.empty()) {
        ADD_FAILURE() << "unanswered dialog: " << text.toStdString();
        return std::nullopt;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    if (const auto* reply = std::get_if<std::optional<QString>>(&a)) return *reply;
    ADD_FAILURE() << "a yes/no reply was queued, but a text dialog came: " << text.toStdString();
    return std::nullopt;
}

void ScriptedDialogs::Information(QWidget*, const QString& text) {
    shown_.push_back({Kind::Information, {}, text, {}, {}});
}

bool ScriptedDialogs::YesNo(QWidget*, const QString& text, DefaultAnswer defaultAnswer) {
    shown_.push_back({Kind::YesNo, {}, text, {}, {}, defaultAnswer});
    return TakeReply(text);
}

bool ScriptedDialogs::OkCancel(QWidget*, const QString& text, DefaultAnswer defaultAnswer) {
    shown_.push_back({Kind::OkCancel, {}, text, {}, {}, defaultAnswer});
    return TakeReply(text);
}

std::optional<QString> ScriptedDialogs::InputText(QWidget*, const QString& caption,
                                                  const QString& prompt, const QString& initial) {
    shown_.push_back({Kind::InputText, caption, prompt, initial, {}});
    return TakeText(prompt);
}

std::optional<QString> ScriptedDialogs::OpenFile(QWidget*, const QString& caption,
                                                 const QString& folder, const QString& filter) {
    shown_.push_back({Kind::OpenFile, caption, caption, folder, filter});
    return TakeText(caption);
}

std::optional<QString> ScriptedDialogs::SaveFile(QWidget*, const QString& caption,
                                                 const QString& folder, const QString& filter) {
    shown_.push_back({Kind::SaveFile, caption, caption, folder, filter});
    return TakeText(caption);
}

}  // namespace mv
