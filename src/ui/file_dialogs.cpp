#include "ui/file_dialogs.h"

#include "core/current_directory.h"
#include "core/player_state.h"
#include "playlist/narrow_path.h"
#include "ui/on_demand_libraries.h"

#include <commdlg.h>

#include <cstring>
#include <string>

// A filter list in its wide form: pairs of texts, each ending in a zero,
// and one more zero at the end.
static std::wstring WidenFilter(const char *filter)
{
    std::wstring wide;
    for (const char *text = filter; text && *text; text += std::strlen(text) + 1)
        wide += WidenText(text) + L'\0';
    return wide + L'\0';
}

// The file title is for showing only: "?" for what code page 932 cannot
// hold, cut to its buffer between two characters.
static void NarrowFileTitle(const wchar_t *title)
{
    std::string shown = ConvertForShowing(title);
    size_t length = 0;
    for (const char *c = shown.c_str(); *c;) {
        const char *next = CharNextExA(932, c, 0);
        if (static_cast<size_t>(next - shown.c_str()) >= sizeof player.fileTitleBuffer)
            break;
        c = next;
        length = static_cast<size_t>(next - shown.c_str());
    }
    std::memcpy(player.fileTitleBuffer, shown.data(), length);
    player.fileTitleBuffer[length] = '\0';
}

bool ChooseFileToOpen(NarrowPath &chosen)
{
    OPENFILENAMEA &settings = player.openDialog;
    std::wstring filter = WidenFilter(settings.lpstrFilter);
    std::wstring title = WidenText(settings.lpstrTitle ? settings.lpstrTitle : "");
    // The dialog opens with the last path chosen or dropped.
    wchar_t file[PathBufferSize] = {};
    std::wstring last = WidenText(player.pathBuffer);
    if (last.size() < PathBufferSize)
        last.copy(file, last.size());
    wchar_t fileTitle[sizeof player.fileTitleBuffer] = {};

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = settings.lStructSize;
    dialog.hwndOwner = settings.hwndOwner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = settings.nFilterIndex;
    dialog.lpstrFile = file;
    dialog.nMaxFile = settings.nMaxFile;
    dialog.lpstrFileTitle = fileTitle;
    dialog.nMaxFileTitle = settings.nMaxFileTitle;
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = settings.Flags;

    BOOL accepted;
    {
        // The dialog makes the folder it showed the current one, even with
        // OFN_NOCHANGEDIR; it is put back when the dialog closes.
        CurrentDirectoryKept kept;
        accepted = ShowOpenFileDialog(&dialog);
    }
    // The filter chosen carries over to the next use.
    settings.nFilterIndex = dialog.nFilterIndex;
    if (!accepted)
        return false;
    NarrowFileTitle(fileTitle);
    // A file that no narrow path names is left out, like a name that does
    // not fit.
    if (!MakeNarrowPath(file, chosen) || chosen.path.size() > MAX_PATH)
        return false;
    std::memcpy(player.pathBuffer, chosen.path.c_str(), chosen.path.size() + 1);
    return true;
}

bool ChooseListFileToSave()
{
    CurrentDirectoryKept kept;
    return ShowSaveFileDialog(&player.saveDialog) != 0;
}
