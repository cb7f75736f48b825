// Resource names shared by the .rc file and the code that loads them.
#pragma once

#define TOLLIVANE_ICON 1
#define TOLLIVANE_BANNER 2
