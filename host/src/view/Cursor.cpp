// The cursor and window-coordinate functions of <windows.h>, over the host's simulated cursor and the
// windows of its views (view/Views.h).
#include <windows.h>

#include "view/Views.h"

using namespace kxh::view;

extern "C" {

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) return FALSE;
    int x, y;
    cursorScreen(x, y);
    lpPoint->x = x;
    lpPoint->y = y;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int X, int Y) {
    setCursorScreen(X, Y);
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    if (!lpPoint || !isWindow(hWnd)) return FALSE;
    int left, top;
    clientOrigin(hWnd, left, top);
    lpPoint->x -= left;
    lpPoint->y -= top;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    if (!lpPoint || !isWindow(hWnd)) return FALSE;
    int left, top;
    clientOrigin(hWnd, left, top);
    lpPoint->x += left;
    lpPoint->y += top;
    return TRUE;
}

}  // extern "C"
