#include "app/about_box.h"

#include <curl/curl.h>
#include <sqlite3.h>
#include <taglib/taglib.h>
#include <xxhash.h>

#include <QtGlobal>

#include "media/chromaprint_library.h"
#include "mv_version.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

std::string Dotted(unsigned major, unsigned minor, unsigned patch) {
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

}  // namespace

std::vector<LibraryVersion> LinkedLibraryVersions() {
    const unsigned xxh = XXH_versionNumber();  // major * 10000 + minor * 100 + release
    const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
    // Loaded for its first print; asking its version loads it now.
    const ChromaprintApi* chromaprint = Chromaprint();
    return {
        {"Qt", qVersion(), false},
        // TagLib 1 and libmpg123 before 1.32 tell no version at run time.
        {"TagLib", Dotted(TAGLIB_MAJOR_VERSION, TAGLIB_MINOR_VERSION, TAGLIB_PATCH_VERSION), true},
        {"libmpg123", MV_MPG123_VERSION, true},
        {"Chromaprint", chromaprint != nullptr ? chromaprint->version() : "cannot be loaded",
         false},
        {"libxxhash", Dotted(xxh / 10000, xxh / 100 % 100, xxh % 100), false},
        {"SQLite", sqlite3_libversion(), false},
        {"libcurl", curl != nullptr ? curl->version : "unknown", false},
    };
}

std::string AboutText(const std::vector<LibraryVersion>& libraries) {
    std::string text = "Mp3 Vandrel " MV_VERSION
                       "\n"
                       "Copyright (c) 2026 the Mp3 Vandrel authors\n"
                       "MIT License; see the LICENSE file.\n\n"
                       "Runs on:\n";
    for (const LibraryVersion& library : libraries) {
        text += "  " + library.name + " " + library.version;
        if (library.builtWith) text += " (built with)";
        text += "\n";
    }
    text.pop_back();
    return text;
}

void ShowAbout(Dialogs& dialogs, QWidget* parent) {
    dialogs.Information(parent, DisplayText(AboutText(LinkedLibraryVersions())));
}

}  // namespace mv
