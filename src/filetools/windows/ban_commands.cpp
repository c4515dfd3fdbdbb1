#include "filetools/windows/ban_commands.h"

#include <QAction>

#include "filetools/ban_list.h"
#include "filetools/windows/tf_ban.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

BanCommands::BanCommands(const BanWidgets& widgets, Dialogs& dialogs,
                         std::filesystem::path programFolder, BanHooks hooks, QObject* parent)
    : QObject(parent),
      w_(widgets),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      hooks_(std::move(hooks)),
      fBan_(std::make_unique<TfBan>(dialogs_, programFolder_, w_.window)) {}

BanCommands::~BanCommands() = default;

void BanCommands::Edit1Click() {
    fBan_->ShowModal();
}

void BanCommands::Scan1Click() {
    mv::BanListForScan read = mv::ReadBanListForScan(mv::BanListFile(programFolder_));
    if (!read.usable) {
        dialogs_.Information(w_.window, DisplayText(read.message));
        return;
    }
    if (!hooks_.runCompare) return;
    if (hooks_.enterBusyState) hooks_.enterBusyState();
    // The busy state is left on every path, a failed run included.
    struct Leave {
        const std::function<void()>& leave;
        ~Leave() {
            if (leave) leave();
        }
    } leave{hooks_.leaveBusyState};
    mv::CompareChoice choice;
    choice.command = mv::CompareCommand::BanScan;
    choice.folder = hooks_.browserFolder ? hooks_.browserFolder() : std::string();
    choice.withSubfolders = w_.cbRec->isChecked();
    choice.banLines = std::move(read.lines);
    hooks_.runCompare(mv::BuildCompareRequest(std::move(choice)));
}

}  // namespace mv
