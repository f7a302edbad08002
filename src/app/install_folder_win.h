// The install folder below the machine's application-data folder: where it is, and its
// creation with an access list that lets only administrators change what lies in it.
#pragma once
#include <string>

#include "fw/safe_file_win.h"

// The install folder: common application data + "\\Vexa\\GameLogin".
std::wstring InstallFolder();

// Creates "\Vexa" in the machine's application-data folder and "\GameLogin" inside it, each
// with the install folders' access list (below) in the creating call. An existing plain folder of
// the system or the administrators stays where it is and is given that list when others may
// change it (fw::MakeAdministratorsFolder). Anything else at "\GameLogin" is moved aside and made
// anew, or, with fw::Untrusted::Refuse (a count of a running copy, whose folder must not move
// under it), left alone; anything else at "\Vexa" is always left alone. False when there is no
// such folder to use.
bool CreateInstallFolder(fw::Untrusted untrusted = fw::Untrusted::MoveAside);

// The install folders' access list: the program runs elevated from there, so only SYSTEM and
// the Administrators group may change what lies in them (a file planted beside the executable,
// a library of a system's name among them, would run elevated); users read and run. Owned by
// the Administrators group, nothing inherited from the machine's shared data folder (where
// users may create files).
inline constexpr wchar_t kInstallFolderSddl[] =
    L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
