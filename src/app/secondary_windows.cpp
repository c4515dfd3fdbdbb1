#include "app/secondary_windows.h"

#include "catalogue/windows/tf_stats.h"
#include "net/http_transport.h"
#include "net/windows/tf_poll.h"
#include "net/windows/tf_splash.h"
#include "player/windows/tf_eq.h"
#include "ui/main/tf_princ.h"

namespace mv {

SecondaryWindows::SecondaryWindows() = default;
SecondaryWindows::SecondaryWindows(SecondaryWindows&&) noexcept = default;
SecondaryWindows& SecondaryWindows::operator=(SecondaryWindows&&) noexcept = default;
SecondaryWindows::~SecondaryWindows() = default;

SecondaryWindows MakeSecondaryWindows(const SecondaryWindowsParams& p) {
    SecondaryWindows made;
    made.stats = std::make_unique<TfStats>(p.dialogs, p.programFolder, p.window.ListEditorHooks(),
                                           &p.window);
    made.poll = std::make_unique<TfPoll>(p.dialogs, mv::MakeCurlTransport(), &p.window);
    made.splash = std::make_unique<TfSplash>(&p.window);
    made.equalizer = std::make_unique<TfEQ>(&p.window);
    p.window.SetWindows({made.stats.get(), made.poll.get(), made.equalizer.get()});
    return made;
}

}  // namespace mv
