// The toolkit's default application icon on X11: the game's picture as _NET_WM_ICON on a
// top-level window, which task bars, window switchers and title bars show. Xlib backend only;
// the Win32 backend takes the same picture from the executable's resources.
#pragma once

#include <X11/Xlib.h>

#include <vector>

// Sets _NET_WM_ICON of ParaWindow (16, 32, 48 and 64 pixels square). Sends the request only;
// the caller flushes with its other set-up.
void SetApplicationIconX11(Display* ParaDisplay, Window ParaWindow);

// The property's contents: for each size its width, its height and its pixels row by row as
// 0xAARRGGBB, each in one long as Xlib's 32-bit format wants it.
std::vector<long> ApplicationIconPropertyX11();
