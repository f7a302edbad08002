// Resource ids shared by the resource script and the code. Ids of the skin images and
// dialog templates are fixed by the program's design; control ids live beside them.
#pragma once

#define IDR_MAINFRAME 128
#define IDI_APP 128
#define IDI_SMALL 155
