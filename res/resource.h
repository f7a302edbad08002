// Resource ids shared by the resource script and the code. Ids of the skin images and
// dialog templates are fixed by the program's design; control ids live beside them.
#pragma once

#define IDR_MAINFRAME 128
#define IDI_APP 128
#define IDI_SMALL 155

// Skinned toolkit: message box and add-account prompt templates and their controls.
#define IDD_MSGBOX 130
#define IDD_ADDACC 161
#define IDC_ADDACC_TEXT 1023
