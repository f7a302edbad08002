// Resource ids shared by the resource script and the code. Ids of the skin images and
// dialog templates are fixed by the program's design; control ids live beside them.
#pragma once

#define IDR_MAINFRAME 128
#define IDI_APP 128
#define IDI_SMALL 155

// Skin images ("PNG" resources, loaded with LoadSkinImage); IDI_SMALL is the favourites icon.
#define IDB_LOGIN_BACK 129     // 888 x 518, per-pixel alpha: login backdrop
#define IDB_DLG_BACK 131       // 30 x 51: dialog background, nine-slice
#define IDB_BTN_CLOSE 132      // 4 frames of 33 x 28
#define IDB_BTN_TEXT 133       // 4 frames of 57 x 23
#define IDB_MAIN_BACK 134      // 30 x 51: main window background, nine-slice
#define IDB_BTN_MAXIMIZE 135   // 4 frames of 27 x 28
#define IDB_BTN_MINIMIZE 136   // 4 frames of 27 x 28
#define IDB_BTN_RESTORE 137    // 4 frames of 27 x 28
#define IDB_BTN_HIDE 138       // 4 frames of 27 x 27
#define IDB_BTN_SYSTEM 139     // 4 frames of 44 x 28
#define IDB_TAB 140            // 3 frames of 189 x 22: normal, hover, selected
#define IDB_TAB_CLOSE 141      // 3 frames of 13 x 13: normal, hot, pressed
#define IDB_PADLOCK 142        // 14 x 16
#define IDB_SOUND_OFF 148      // 4 frames of 27 x 27
#define IDB_SOUND_ON 149       // 4 frames of 27 x 27
#define IDB_PROGRESS_BACK 152  // 390 x 21
#define IDB_PROGRESS_FILL 153  // 390 x 21
#define IDB_ADDACC_BACK 162    // 284 x 150

// Skinned toolkit: message box and add-account prompt templates and their controls.
#define IDD_MSGBOX 130
#define IDD_ADDACC 161
#define IDC_ADDACC_TEXT 1023

// Main game window: its template and the caption controls right of the tab strip.
#define IDD_MAIN 102
#define IDC_MAIN_HIDE 1001
#define IDC_MAIN_SOUND 1002
#define IDC_MAIN_SYSTEM 1003
#define IDC_MAIN_OTHER_ACCOUNT 1005

// Hotkey settings dialog: per hotkey a group box, a prompt, the edit and an example.
#define IDD_SETTING 158
#define IDC_SET_BOSS_GROUP 1017
#define IDC_SET_BOSS_PROMPT 1006
#define IDC_SET_BOSS_EDIT 1007
#define IDC_SET_BOSS_EXAMPLE 1008
#define IDC_SET_SWITCH_GROUP 1012
#define IDC_SET_SWITCH_PROMPT 1009
#define IDC_SET_SWITCH_EDIT 1010
#define IDC_SET_SWITCH_EXAMPLE 1011
#define IDC_SET_SOUND_GROUP 1013
#define IDC_SET_SOUND_PROMPT 1016
#define IDC_SET_SOUND_EDIT 1014
#define IDC_SET_SOUND_EXAMPLE 1015

// Page process: the login screen's template (backdrop and login page share it); the page
// window's frame takes its icon and title from IDR_MAINFRAME.
#define IDD_LOGIN 157

// Update progress dialog: template and its progress bar.
#define IDD_PRGS 156
#define IDC_PRGS_PROGRESS 1000

// Game client download dialog: template, percentage label and bar.
#define IDD_DOWN_GAME 163
#define IDC_DOWN_PERCENT 1024
#define IDC_DOWN_PROGRESS 1025

// Favourites dialog: template and the name's edit.
#define IDD_FAV 159
#define IDC_FAV_NAME 1018
