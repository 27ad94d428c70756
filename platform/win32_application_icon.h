/* The toolkit's default application icon on Win32: the resource number under which an
   executable carries it, shared by its resource script and the toolkit. Win32 backend only;
   the Xlib backend sets the same picture as _NET_WM_ICON. Plain C comments and macros: the
   resource compiler reads this file too. */
#ifndef VANTREL_WIN32_APPLICATION_ICON_H
#define VANTREL_WIN32_APPLICATION_ICON_H

/* The lowest number: Explorer shows an executable's first icon group as its icon. */
#define VANTREL_APPLICATION_ICON_RESOURCE 1

#ifndef RC_INVOKED
#include <windows.h>

// The icon of the program's own resources, or the system's generic application icon for a
// program that carries none (the test probes).
HICON ApplicationIconWin32(HINSTANCE ParaInstance);
#endif

#endif
