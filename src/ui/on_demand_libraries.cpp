#include "ui/on_demand_libraries.h"

// Loaded once, at the first use, and kept until the process ends.
template <typename Entry> static Entry BindEntry(HMODULE &library, const char *file, const char *name)
{
    if (!library)
        library = LoadLibraryA(file);
    return library ? reinterpret_cast<Entry>(reinterpret_cast<void *>(GetProcAddress(library, name))) : nullptr;
}

static HMODULE shell = nullptr;
static HMODULE dialogs = nullptr;

void AcceptDrops(HWND window)
{
    // What DragAcceptFiles does, without loading the shell.
    LONG style = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, style | WS_EX_ACCEPTFILES);
}

UINT QueryDroppedFile(HDROP drop, UINT index, wchar_t *file, UINT size)
{
    using Query = UINT(WINAPI *)(HDROP, UINT, wchar_t *, UINT);
    static Query query = BindEntry<Query>(shell, "shell32.dll", "DragQueryFileW");
    return query ? query(drop, index, file, size) : 0;
}

void FinishDrop(HDROP drop)
{
    using Finish = void(WINAPI *)(HDROP);
    static Finish finish = BindEntry<Finish>(shell, "shell32.dll", "DragFinish");
    if (finish)
        finish(drop);
}

BOOL ShowOpenFileDialog(OPENFILENAMEW *dialog)
{
    using Show = BOOL(WINAPI *)(OPENFILENAMEW *);
    static Show show = BindEntry<Show>(dialogs, "comdlg32.dll", "GetOpenFileNameW");
    return show ? show(dialog) : FALSE;
}

BOOL ShowSaveFileDialog(OPENFILENAMEW *dialog)
{
    using Show = BOOL(WINAPI *)(OPENFILENAMEW *);
    static Show show = BindEntry<Show>(dialogs, "comdlg32.dll", "GetSaveFileNameW");
    return show ? show(dialog) : FALSE;
}
