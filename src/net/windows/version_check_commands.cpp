#include "net/windows/version_check_commands.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>
#include <cstdio>

#include "net/version_check.h"
#include "net/windows/tf_splash.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

CheckVersionResult CheckVersion(const CheckVersionParams& p) {
    CheckVersionResult result;
    if (p.firstRun && !p.dialogs.YesNo(p.parent, DisplayText(mv::kFirstRunQuestion),
                                       DefaultAnswer::Affirmative)) {
        p.tmiVerCheck->setChecked(false);
        p.dialogs.Information(p.parent, DisplayText(mv::kFirstRunNotice));
    }
    if (!p.tmiVerCheck->isChecked()) return result;

    p.splash.ShowAndPaint();
    result.requested = true;
    const auto check = mv::CheckForNewVersion({p.transport, p.server, [&] {
                                                   return p.dialogs.YesNo(
                                                       p.parent, DisplayText(mv::kDownloadQuestion),
                                                       DefaultAnswer::Affirmative);
                                               }});
    if (!check.link.empty() && p.openLink) p.openLink(check.link);
    p.splash.close();
    if (!check.error.empty()) {
        result.error = "version check: " + check.error;
        std::fprintf(stderr, "mp3vandrel: %s\n", result.error.c_str());
    }
    return result;
}

void OpenLinkWithDesktop(const std::string& link) {
    QDesktopServices::openUrl(QUrl(DisplayText(link).trimmed()));
}

}  // namespace mv
