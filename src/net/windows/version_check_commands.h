#pragma once

// CheckVersion: the start-up version check with its windows. The shell calls
// it as the last step of loading the settings:
//   CheckVersion({dialogs, &fPrinc, fPrinc.tmiVerCheck, fSplash, *transport,
//                 settings.server, firstRun, openLink});
// A request that fails, runs out of time or gets an error status ends the
// check quietly: the splash closes, start-up goes on, and one line on
// standard error says why.

#include <QString>
#include <functional>
#include <string>

class QAction;
class QWidget;

namespace mv {

class Dialogs;
class TfSplash;
class HttpTransport;

struct CheckVersionParams {
    Dialogs& dialogs;
    QWidget* parent = nullptr;  // the main window, for the boxes
    QAction* tmiVerCheck = nullptr;
    TfSplash& splash;
    mv::HttpTransport& transport;
    std::string server;
    bool firstRun = false;  // there was no settings file
    // Opens the download link with the desktop's default handler; the link
    // is the document's body as it came.
    std::function<void(const std::string& link)> openLink;
};

struct CheckVersionResult {
    bool requested = false;  // the version was asked for
    std::string error;       // what went wrong, as written to standard error
};

CheckVersionResult CheckVersion(const CheckVersionParams& params);

// The live link opener: QDesktopServices with the link's surrounding blanks
// and line ends removed (a document saved by an editor ends with one).
void OpenLinkWithDesktop(const std::string& link);

}  // namespace mv
