#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "mv_version.h"
#include "net/http_transport.h"
#include "net/server_paths.h"

// The start-up version check, without windows: ask the server for its current
// version, compare, and fetch the download link when the user wants it.
namespace mv {

inline constexpr const char* kOwnVersion = MV_VERSION;

inline constexpr const char* kFirstRunQuestion =
    "It looks like its the first time you run Mp3 Vandrel. Do you want it to make a version "
    "check every time it starts? (This requires a net connection)";
inline constexpr const char* kFirstRunNotice =
    "You can change your mind anytime by clicking on the Automatic version check button in the "
    "Options menu :)";
inline constexpr const char* kDownloadQuestion =
    "Your Mp3 Vandrel is not up-to-date, do you want to download it now?";

// True when the first four characters of the version document differ from
// our own version, as text: an older version counts as different too, and
// "1.6" followed by a line break differs.
bool VersionDiffers(std::string_view body);

// The request for one of the two documents: redirects followed, Accept as the
// program has always sent it.
HttpRequest VersionDocumentRequest(const std::string& server, const char* document);

struct VersionCheckParams {
    HttpTransport& transport;
    std::string server;
    // Asks the download question; true for Yes.
    std::function<bool()> askDownload;
};

struct VersionCheckResult {
    bool asked = false;     // the versions differ and the question was asked
    bool accepted = false;  // ... and answered Yes
    std::string link;       // the body of DlLink.txt, to open as it is
    std::string error;      // a failed request or an empty version: for stderr
};

// Runs the check; a failed request ends it quietly with `error` set.
VersionCheckResult CheckForNewVersion(const VersionCheckParams& params);

}  // namespace mv
