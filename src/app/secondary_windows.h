#pragma once

#include <filesystem>
#include <memory>

namespace mv {

class Dialogs;
class TfEQ;
class TfPoll;
class TfPrinc;
class TfSplash;
class TfStats;

// MakeSecondaryWindows: the windows the main window opens (the list editor,
// the poll window with its HTTP transport, the equalizer) and the version
// check's splash, made once for the program's life as children of `window`
// and handed to it. The result must go before the window does.
struct SecondaryWindowsParams {
    TfPrinc& window;
    Dialogs& dialogs;
    std::filesystem::path programFolder;
};
struct SecondaryWindows {
    SecondaryWindows();
    SecondaryWindows(SecondaryWindows&&) noexcept;
    SecondaryWindows& operator=(SecondaryWindows&&) noexcept;
    ~SecondaryWindows();

    std::unique_ptr<TfStats> stats;    // shown modally by List > Edit Mp3 list
    std::unique_ptr<TfPoll> poll;      // shown modally by Misc > Poll
    std::unique_ptr<TfSplash> splash;  // hidden but while the version check runs
    std::unique_ptr<TfEQ> equalizer;   // hidden until Misc > Equalizer
};
SecondaryWindows MakeSecondaryWindows(const SecondaryWindowsParams& params);

}  // namespace mv
