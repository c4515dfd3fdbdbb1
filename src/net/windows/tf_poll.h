#pragma once

// TfPoll: the poll window (Misc > Poll). It shows the server's current
// question with its options, sends a vote for the chosen one, and shows the
// results of any question of the list. It keeps nothing between openings:
// every activation (the opening, and the return from each message box shown
// over it) reloads the question and the list.
//
// Each request keeps the program's time limits. A failed request ends its
// handler where it stands: the window shows what was filled so far, the radio
// group's caption says the poll server could not be reached, and one line on
// standard error says why. A reply the window cannot read (empty, no leading
// digit) ends the handler quietly.
//   TfPoll fPoll(dialogs, mv::MakeCurlTransport(), &fPrinc);
//   fPoll.SetServer(settings.server);
//   fPoll.ShowModal();

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "net/http_transport.h"
#include "net/poll_client.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace mv {

class Dialogs;

inline constexpr const char* kPollUnreachable = "the poll server could not be reached";

class TfPoll : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kDesignLeft = 192;
    static constexpr int kDesignTop = 107;
    static constexpr int kDesignWidth = 518;
    static constexpr int kDesignHeight = 248;

    TfPoll(Dialogs& dialogs, std::unique_ptr<mv::HttpTransport> transport,
           QWidget* parent = nullptr);
    ~TfPoll() override;

    // The settings key Server: "host:port".
    void SetServer(std::string server) { client_.SetServer(std::move(server)); }

    // Poll1Click: loads the window and runs it modally until it closes.
    void ShowModal();

    // Handlers, under their given names.
    void FormActivate();
    void bVoteClick();
    void cbPrevChange();

    // The radio buttons of rgPoll, top to bottom, and their texts.
    std::vector<QRadioButton*> Options() const { return buttons_; }
    QStringList OptionTexts() const;

    QGroupBox* rgPoll = nullptr;
    QPushButton* bVote = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cbPrev = nullptr;

  private:
    void ClearOptions();
    void AddOption(const std::string& text);
    // A failed request: says so in the caption and on standard error.
    void Unreachable(const mv::HttpReply& reply);
    void Information(const QString& text);

    Dialogs& dialogs_;
    std::unique_ptr<mv::HttpTransport> transport_;
    mv::PollClient client_;  // uses transport_
    QVBoxLayout* optionsLayout_ = nullptr;
    QButtonGroup* group_ = nullptr;
    std::vector<QRadioButton*> buttons_;
};

}  // namespace mv
