#include "net/version_check.h"

namespace mv {

bool VersionDiffers(std::string_view body) {
    return body.substr(0, 4) != kOwnVersion;
}

HttpRequest VersionDocumentRequest(const std::string& server, const char* document) {
    return {server, document, {{"Accept", "text/html, */*"}}, true};
}

VersionCheckResult CheckForNewVersion(const VersionCheckParams& params) {
    VersionCheckResult result;
    const HttpReply version =
        params.transport.Get(VersionDocumentRequest(params.server, kVersionDocument));
    if (!version.Ok()) {
        result.error = version.error;
        return result;
    }
    // An empty document says nothing about a newer version: asking then would
    // send every user to the download page whenever the server is misset.
    if (version.body.empty()) {
        result.error = RequestUrl(params.server, kVersionDocument) + ": the document is empty";
        return result;
    }
    if (!VersionDiffers(version.body)) return result;
    result.asked = true;
    result.accepted = params.askDownload && params.askDownload();
    if (!result.accepted) return result;
    const HttpReply link =
        params.transport.Get(VersionDocumentRequest(params.server, kLinkDocument));
    if (!link.Ok()) {
        result.error = link.error;
        return result;
    }
    result.link = link.body;
    return result;
}

}  // namespace mv
