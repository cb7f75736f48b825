// Resource names shared by the .rc file and the code that loads them.
#pragma once

#define TOLLIVANE_ICON 1
#define TOLLIVANE_BANNER 2
#define TOLLIVANE_MENU 3
// The main menu's items are numbered from here in the order of ui/'s menu table.
#define TOLLIVANE_FIRST_MENU_ID 1000
