#include "dupes/windows/sound_search_commands.h"

#include "dupes/windows/compare_commands.h"

namespace mv {

SoundSearchCommands::SoundSearchCommands(CompareCommands& compare, SoundSearchHooks hooks,
                                         QObject* parent)
    : QObject(parent), compare_(compare), hooks_(std::move(hooks)) {}

mv::CompareResult SoundSearchCommands::bSoundFolderClick() {
    // Read on the GUI thread before the run, so the worker shares nothing that changes.
    mv::SoundCompareOptions options;
    options.cacheFile = cacheFile_;
    options.find = hooks_.find;
    return compare_.RunFolderWith(
        [options](const mv::CompareParams& params, mv::CompareControl& control) {
            return mv::RunSoundCompare(params, control, options);
        });
}

}  // namespace mv
