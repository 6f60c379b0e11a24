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

// A dialog record's settings in their wide form, with the buffers the
// wide dialog fills: both dialogs are shown wide, so that any name can be
// chosen or typed.
struct WideDialog {
    std::wstring filter;
    std::wstring title;
    wchar_t file[PathBufferSize] = {};
    wchar_t fileTitle[sizeof player.fileTitleBuffer] = {};
    OPENFILENAMEW record = {};
};

// Shows the dialog that `show` names with `settings`, keeping the current
// directory; the filter chosen carries over to the next use.
static bool ShowWideDialog(OPENFILENAMEA &settings, BOOL (*show)(OPENFILENAMEW *), WideDialog &dialog)
{
    dialog.filter = WidenFilter(settings.lpstrFilter);
    dialog.title = WidenText(settings.lpstrTitle ? settings.lpstrTitle : "");
    // The dialog opens with the last path chosen or dropped.
    std::wstring last = WidenText(player.pathBuffer);
    if (last.size() < PathBufferSize)
        last.copy(dialog.file, last.size());

    OPENFILENAMEW &record = dialog.record;
    record.lStructSize = settings.lStructSize;
    record.hwndOwner = settings.hwndOwner;
    record.lpstrFilter = dialog.filter.c_str();
    record.nFilterIndex = settings.nFilterIndex;
    record.lpstrFile = dialog.file;
    record.nMaxFile = settings.nMaxFile;
    record.lpstrFileTitle = dialog.fileTitle;
    record.nMaxFileTitle = settings.nMaxFileTitle;
    record.lpstrTitle = dialog.title.c_str();
    record.Flags = settings.Flags;

    BOOL accepted;
    {
        // The dialog makes the folder it showed the current one, even with
        // OFN_NOCHANGEDIR; it is put back when the dialog closes.
        CurrentDirectoryKept kept;
        accepted = show(&record);
    }
    settings.nFilterIndex = record.nFilterIndex;
    if (accepted)
        NarrowFileTitle(dialog.fileTitle);
    return accepted != FALSE;
}

bool ChooseFileToOpen(NarrowPath &chosen)
{
    WideDialog dialog;
    if (!ShowWideDialog(player.openDialog, ShowOpenFileDialog, dialog))
        return false;
    // A file that no narrow path names is left out, like a name that does
    // not fit.
    if (!MakeNarrowPath(dialog.file, chosen) || chosen.path.size() > MAX_PATH)
        return false;
    std::memcpy(player.pathBuffer, chosen.path.c_str(), chosen.path.size() + 1);
    return true;
}

bool ChooseListFileToSave(std::wstring &chosen)
{
    WideDialog dialog;
    if (!ShowWideDialog(player.saveDialog, ShowSaveFileDialog, dialog))
        return false;
    // The list is saved under exactly the name typed, which need not exist
    // yet and so may have no narrow form at all.
    chosen = dialog.file;
    std::string narrow;
    if (ConvertExactly(chosen, narrow) && narrow.size() <= MAX_PATH)
        std::memcpy(player.pathBuffer, narrow.c_str(), narrow.size() + 1);
    return true;
}
