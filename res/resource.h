// Resource ids shared by the resource script and the code. Ids of the skin images and
// dialog templates are fixed by the program's design; control ids live beside them.
#pragma once

#define IDR_MAINFRAME 128
#define IDI_APP 128
#define IDI_SMALL 155

// Update progress dialog: template and its progress bar.
#define IDD_PRGS 156
#define IDC_PRGS_PROGRESS 1000
