#pragma once

#include <functional>
#include <string>

// What the shell adds to the main window beyond the settings it binds:
// Options > Server..., Help > About, and the browser's folder from the last
// session.
namespace mv {

class Dialogs;
class TfPrinc;

struct ShellOptionsParams {
    TfPrinc& window;
    Dialogs& dialogs;
    std::function<std::string()> server;                       // the value the settings hold
    std::function<void(const std::string& server)> setServer;  // the user accepted a new one
};
// Connects the two menu items (tmiServer, tmiAbout); neither opens while the
// window is busy.
void WireShellOptions(const ShellOptionsParams& params);

// Moves the browser to `folder` when it still is a folder that can be read
// (a link to one counts); otherwise the browser stays where start-up put it.
// True when it moved.
bool RestoreLastFolder(TfPrinc& window, const std::string& folder);

// The browser's folder as LastFolder keeps it: empty when the settings file
// could not give it back (a line break would start a new line, blanks at the
// ends are trimmed on reading), so that start-up then opens as on a first run.
std::string LastFolderToKeep(const std::string& folder);

}  // namespace mv
