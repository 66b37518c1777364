#pragma once
// The native window handle type of the platform the host runs on. This host presents its windows as the
// Win32 platform does, so a handle is an HWND and can be passed to the window functions of <windows.h>
// (ScreenToClient ...). Both spellings name the same type.
typedef struct HWND__* MNativeWindowHdl;
