#include "net/windows/tf_poll.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdio>

#include "net/poll_wire.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(DisplayText(name));
    return widget;
}

}  // namespace

TfPoll::TfPoll(Dialogs& dialogs, std::unique_ptr<mv::HttpTransport> transport, QWidget* parent)
    : QDialog(parent),
      dialogs_(dialogs),
      transport_(std::move(transport)),
      client_(*transport_, "localhost:8080") {
    setObjectName(DisplayText("fPoll"));
    setWindowTitle(DisplayText("Poll form"));
    QFont design = font();
    design.setFamilies({DisplayText("MS Sans Serif"), DisplayText("Liberation Sans"),
                        DisplayText("Arial"), DisplayText("DejaVu Sans Condensed")});
    design.setPixelSize(11);
    setFont(design);

    rgPoll = Named(new QGroupBox(this), "rgPoll");
    rgPoll->setGeometry(0, 0, 510, 177);
    optionsLayout_ = new QVBoxLayout(rgPoll);
    optionsLayout_->addStretch();
    group_ = new QButtonGroup(this);
    bVote = Named(new QPushButton(DisplayText("Vote!"), this), "bVote");
    bVote->setGeometry(16, 192, 75, 25);
    Label1 = Named(new QLabel(DisplayText("Previous Poll Results:"), this), "Label1");
    Label1->setGeometry(120, 192, 102, 13);
    cbPrev = Named(new QComboBox(this), "cbPrev");
    cbPrev->setEditable(false);
    cbPrev->setGeometry(232, 192, 257, 21);

    connect(bVote, &QPushButton::clicked, this, &TfPoll::bVoteClick);
    // A choice by the user, not the list being refilled.
    connect(cbPrev, &QComboBox::activated, this, &TfPoll::cbPrevChange);

    setGeometry(kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight);
}

TfPoll::~TfPoll() = default;

void TfPoll::ShowModal() {
    FormActivate();
    exec();
}

QStringList TfPoll::OptionTexts() const {
    QStringList texts;
    for (const QRadioButton* b : buttons_) texts << b->text();
    return texts;
}

void TfPoll::ClearOptions() {
    for (QRadioButton* b : buttons_) {
        group_->removeButton(b);
        delete b;
    }
    buttons_.clear();
}

void TfPoll::AddOption(const std::string& text) {
    auto* button = new QRadioButton(DisplayText(text), rgPoll);
    // Before the stretch, which keeps the options at the top.
    optionsLayout_->insertWidget(static_cast<int>(buttons_.size()), button);
    group_->addButton(button, static_cast<int>(buttons_.size()));
    buttons_.push_back(button);
}

void TfPoll::Unreachable(const mv::HttpReply& reply) {
    const QString caption = rgPoll->title();
    const QString note = DisplayText(kPollUnreachable);
    if (caption.isEmpty()) {
        rgPoll->setTitle(note.left(1).toUpper() + note.mid(1));
    } else if (!caption.endsWith(note, Qt::CaseInsensitive) &&
               !caption.endsWith(note + DisplayText(")"))) {
        rgPoll->setTitle(caption + DisplayText(" (") + note + DisplayText(")"));
    }
    std::fprintf(stderr, "mp3vandrel: poll: %s\n", reply.error.c_str());
}

void TfPoll::Information(const QString& text) {
    dialogs_.Information(this, text);
    // The window is active again once the box closes: it reloads.
    FormActivate();
}

void TfPoll::FormActivate() {
    ClearOptions();
    const mv::HttpReply first = client_.CurrentQuestion();
    if (!first.Ok()) return Unreachable(first);
    const auto question = mv::ParseQuestion(first.body);
    if (!question) return;
    rgPoll->setTitle(DisplayText(question->question));
    for (const auto& option : question->options) AddOption(option);

    const mv::HttpReply list = client_.QuestionList();
    if (!list.Ok()) return Unreachable(list);
    cbPrev->clear();
    // No entry has this text, so nothing is chosen.
    cbPrev->setPlaceholderText(DisplayText("Previous Poll Results"));
    cbPrev->setCurrentIndex(-1);
    for (const auto& entry : mv::ParseQuestionList(list.body)) {
        cbPrev->addItem(DisplayText(entry));
    }
    cbPrev->setCurrentIndex(-1);
}

void TfPoll::cbPrevChange() {
    const int chosen = cbPrev->currentIndex();
    if (chosen < 0) return;
    ClearOptions();
    rgPoll->setTitle(cbPrev->itemText(chosen));
    const mv::HttpReply reply = client_.Results(chosen + 1);
    if (!reply.Ok()) return Unreachable(reply);
    for (const auto& line : mv::ParseResults(reply.body)) AddOption(mv::ResultLineText(line));
    // Votes go to the current question only, the last one of the list.
    bVote->setEnabled(chosen == cbPrev->count() - 1);
}

void TfPoll::bVoteClick() {
    const int chosen = group_->checkedId();
    if (chosen < 0) return Information(DisplayText("You must choose an option before voting."));
    const mv::HttpReply reply = client_.Vote(chosen + 1);
    if (!reply.Ok()) return Unreachable(reply);
    Information(DisplayText(reply.body));
}

}  // namespace mv
