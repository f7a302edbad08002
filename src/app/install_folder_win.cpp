#include "app/install_folder_win.h"

#include "app/install_rules.h"
#include "app/start_mode.h"
#include "base/user_folder_win.h"

std::wstring InstallFolder() {
    return base::CommonAppDataFolder() + std::wstring(app::kInstallSubfolder);
}

bool CreateInstallFolder(fw::Untrusted untrusted) {
    const std::wstring appData = base::CommonAppDataFolder();
    // Without the machine's folder there is nowhere to install to (and "\Vexa" would land in
    // the root of whatever drive is current). The outer folder is checked too: whoever may change
    // it could swap the inner one. It is never moved: the publisher's other programs live in it.
    if (appData.empty()) return false;
    const std::wstring folder = appData + std::wstring(app::kInstallSubfolder);
    return fw::MakeAdministratorsFolder(std::wstring(app::FolderOfPath(folder)), kInstallFolderSddl,
                                        fw::Untrusted::Refuse) &&
           fw::MakeAdministratorsFolder(folder, kInstallFolderSddl, untrusted);
}
