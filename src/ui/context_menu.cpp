// The right-click menu, built anew from the playlist and the repeat mode
// every time it opens, so it never shows a stale list or check mark.
#include "ui/context_menu.h"

#include "core/player_state.h"
#include "playlist/store.h"
#include "ui/main_window.h"

#include <string>

// The menu reads "&" as the mark of an underlined letter; "&&" shows one
// "&". 0x26 is never the second byte of a double-byte character, so the
// bytes can be doubled one by one.
std::string MenuText(const char *name)
{
    std::string text;
    for (const char *c = name; *c; ++c) {
        text += *c;
        if (*c == '&')
            text += '&';
    }
    return text;
}

void BuildContextMenu()
{
    // The submenu goes first: once attached, destroying the popup reaches it
    // too, and destroying a handle twice is harmless.
    DestroyMenu(player.playlistMenu);
    DestroyMenu(player.contextMenu);
    player.contextMenu = CreatePopupMenu();
    player.playlistMenu = CreateMenu();

    int count = PlaylistCount();
    for (int i = 0; i < count; ++i)
        AppendMenuA(player.playlistMenu, MF_STRING, FirstEntry + i, MenuText(EntryTitle(i)).c_str());

    HMENU menu = player.contextMenu;
    AppendMenuA(menu, MF_STRING, LoadFile, "ファイル読み込み");
    AppendMenuA(menu, MF_STRING, ExportList, "再生リスト書き出し");
    AppendMenuA(menu, MF_STRING, ToggleRepeat, "リピート");
    AppendMenuA(menu, MF_STRING, RemoveCurrent, "再生リストから除外");
    if (count > 0) {
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(player.playlistMenu), "再生リスト");
        CheckMenuItem(player.playlistMenu, FirstEntry + player.currentIndex, MF_BYCOMMAND | MF_CHECKED);
    } else {
        EnableMenuItem(menu, ExportList, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(menu, RemoveCurrent, MF_BYCOMMAND | MF_GRAYED);
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, About, "バージョン情報");

    // Repeat means nothing to choose between with fewer than two entries.
    if (count < 2)
        EnableMenuItem(menu, ToggleRepeat, MF_BYCOMMAND | MF_GRAYED);
    CheckMenuItem(menu, ToggleRepeat, MF_BYCOMMAND | (player.repeatMode ? MF_CHECKED : MF_UNCHECKED));
}

void OnRButtonDown(HWND window, LPARAM position)
{
    // The words are taken unsigned, as the click inside the client area
    // always gives them.
    POINT point = {LOWORD(position), HIWORD(position)};
    ClientToScreen(window, &point);
    BuildContextMenu();
    // The chosen item arrives later as WM_COMMAND.
    TrackPopupMenu(player.contextMenu, 0, point.x, point.y, 0, window, nullptr);
}
