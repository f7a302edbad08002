// The program's own skin as the toolkit finds it in the resources: named once per process, at start.
#pragma once
#include "resource.h"
#include "ui/skinned_dialog_win.h"

inline constexpr ui::SkinResources kProgramSkin{IDB_DLG_BACK, IDB_BTN_CLOSE, IDB_BTN_TEXT, IDD_MSGBOX};
