#pragma once
// Stand-in for the Win32 basics the plug-in uses: the integer and pointer types of the Windows API, the
// handle types, and the calling thread's last-error value. Types keep their Windows widths (DWORD is 32
// bits). Functions have C linkage, as the system's do.
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef unsigned int UINT;
typedef std::uintptr_t DWORD_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::intptr_t LONG_PTR;
typedef char CHAR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD* LPDWORD;
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef NULL
#define NULL 0
#endif
#define WINAPI
#define CALLBACK

// System error codes (winerror.h) the stand-ins report.
#define ERROR_SUCCESS 0L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_INSUFFICIENT_BUFFER 122L

extern "C" {
// The last error of the calling thread, as set by the failing stand-in call.
DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD dwErrCode);
}

// --- Cursor and window coordinates ------------------------------------------------------------------------
// The cursor position in screen coordinates, and conversions between screen coordinates and a window's
// client coordinates (origin at the client area's top-left corner, y down). The windows are the host's:
// its main window and the windows of its 3D views (M3dView::window()).
typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

extern "C" {
BOOL WINAPI GetCursorPos(LPPOINT lpPoint);
BOOL WINAPI SetCursorPos(int X, int Y);
BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint);
BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint);
}

// --- Libraries bound at run time ---------------------------------------------------------------------------
// A shared library of this machine opened by name, and the address of one of its exported functions. A
// Windows library name (such as "wintab32.dll") finds nothing here: LoadLibraryA returns NULL with
// ERROR_MOD_NOT_FOUND, as the system does for a library that is not installed.
typedef std::intptr_t(WINAPI* FARPROC)();

extern "C" {
HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL WINAPI FreeLibrary(HMODULE hLibModule);
}
