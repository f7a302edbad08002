#include "app/install_folder_win.h"

#include "app/start_mode.h"
#include "base/user_folder_win.h"

std::wstring InstallFolder() {
    return base::CommonAppDataFolder() + std::wstring(kInstallSubfolder);
}

bool CreateInstallFolder(fw::Untrusted untrusted) {
    const std::wstring appData = base::CommonAppDataFolder();
    // Without the machine's folder there is nowhere to install to (and "\Vexa" would land in
    // the root of whatever drive is current). The outer folder is checked too: whoever may change
    // it could swap the inner one.
    if (appData.empty()) return false;
    return fw::MakeAdministratorsFolder(appData + L"\\Vexa", kInstallFolderSddl, untrusted) &&
           fw::MakeAdministratorsFolder(InstallFolder(), kInstallFolderSddl, untrusted);
}
