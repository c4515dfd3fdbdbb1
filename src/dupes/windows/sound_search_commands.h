#pragma once

#include <QObject>
#include <filesystem>
#include <functional>

#include "dupes/sound_dupes.h"

namespace mv {

class CompareCommands;

struct SoundSearchHooks {
    // The search; unset: mv::FindSameSound. It runs on the comparison's worker thread.
    std::function<mv::SoundSearchResult(const mv::SoundSearchParams&)> find;
};

// Dupes > Find sound-alike duplicates in the folder: the files of the
// browser's folder (and of every folder below it when cbRec is checked, as
// for names) searched by sound within the frame of a comparison, so the busy
// state, the tray, the gauge, Stop, the lists, lRes and the facts that fill
// in after the run are those of "Find dupes in the folder".
class SoundSearchCommands : public QObject {
    Q_OBJECT
  public:
    SoundSearchCommands(CompareCommands& compare, SoundSearchHooks hooks,
                        QObject* parent = nullptr);

    // Where the prints are kept between runs (the facts cache); empty: nowhere.
    void SetCacheFile(std::filesystem::path file) { cacheFile_ = std::move(file); }
    mv::CompareResult bSoundFolderClick();

  private:
    CompareCommands& compare_;
    SoundSearchHooks hooks_;
    std::filesystem::path cacheFile_;
};

}  // namespace mv
