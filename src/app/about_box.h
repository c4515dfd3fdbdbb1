#pragma once

#include <string>
#include <vector>

class QWidget;

// Help > About: the program's version, its license and the libraries it runs on.
namespace mv {

class Dialogs;

struct LibraryVersion {
    std::string name;
    std::string version;     // the running library's own, else the one built against
    bool builtWith = false;  // the library gives no version at run time
};

// Qt, TagLib, libmpg123, Chromaprint, libxxhash, SQLite and libcurl, in that order.
std::vector<LibraryVersion> LinkedLibraryVersions();

// The About box's text: name and version, license, then one line a library.
std::string AboutText(const std::vector<LibraryVersion>& libraries);

// Shows the About box through the Dialogs seam.
void ShowAbout(Dialogs& dialogs, QWidget* parent);

}  // namespace mv
