#include "ui/main_window.h"

#include "playback/reports.h"
#include "ui/commands.h"
#include "ui/context_menu.h"
#include "ui/drops.h"
#include "ui/face.h"
#include "ui/media_keys.h"
#include "ui/playback_reports.h"
#include "ui/window_drag.h"
#include "ui/window_lifetime.h"

#include <mmsystem.h>
#include <shellapi.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT:
        // Painted and validated: the default handler would only begin and
        // end another, empty paint (four more requests to Wine's server
        // each time the time ticks).
        OnPaint(window);
        return 0;
    case WM_COMMAND:
        OnCommand(window, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        PollTrack();
        break;
    case WM_HSCROLL:
        OnHScroll();
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(window, lParam);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(window, lParam);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp();
        break;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(window, reinterpret_cast<HWND>(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk();
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(window, lParam);
        return 0;
    case WM_DROPFILES:
        OnDropFiles(window, reinterpret_cast<HDROP>(wParam));
        break;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<const COPYDATASTRUCT *>(lParam)) ? TRUE : FALSE;
    case MM_MCINOTIFY:
        OnMciNotice(wParam);
        break;
    case WM_APPCOMMAND:
        if (OnAppCommand(GET_APPCOMMAND_LPARAM(lParam)))
            return TRUE;
        break;
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wParam));
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
