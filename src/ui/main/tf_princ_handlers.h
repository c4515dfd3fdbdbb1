#pragma once

#include <memory>

#include "catalogue/windows/drive_scan_commands.h"
#include "dupes/windows/compare_commands.h"
#include "dupes/windows/pair_facts_handlers.h"
#include "dupes/windows/result_list_handlers.h"
#include "dupes/windows/sound_check_handlers.h"
#include "dupes/windows/sound_search_commands.h"
#include "filetools/windows/ban_commands.h"
#include "filetools/windows/rename_commands.h"
#include "filetools/windows/tag_panel_handlers.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/playlist_handlers.h"
#include "player/windows/playlist_lengths.h"
#include "ui/main/file_browser.h"
#include "ui/main/pointer_caption.h"

namespace mv {

// The handler classes the main window owns, in the order they are made; they
// go in the reverse order, before the controls they point to.
struct TfPrincHandlers {
    std::unique_ptr<FileBrowser> browser;
    std::unique_ptr<ResultListHandlers> results;
    std::unique_ptr<PairFactsHandlers> pairFacts;
    std::unique_ptr<SoundCheckHandlers> soundCheck;
    std::unique_ptr<CompareCommands> compare;
    std::unique_ptr<SoundSearchCommands> soundSearch;
    std::unique_ptr<DriveScanCommands> scan;
    std::unique_ptr<BanCommands> ban;  // owns the ban list editor
    std::unique_ptr<TagPanelHandlers> tag;
    std::unique_ptr<RenameCommands> rename;
    std::unique_ptr<PlaybackHandlers> playback;
    std::unique_ptr<PlaylistHandlers> playlistHandlers;
    std::unique_ptr<PlaylistLengths> playlistLengths;
    std::unique_ptr<PointerCaption> pointerCaption;
};

}  // namespace mv
