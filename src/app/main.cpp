#include "app/hand_over.h"
#include "app/startup.h"
#include "playlist/command_tail.h"

// The runtime's own tail is not used: it takes every byte from 0x80 up for
// a blank and cuts Japanese names apart. The wide command line also keeps
// the names that code page 932 cannot hold.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    const wchar_t *tail = CommandTail(GetCommandLineW());
    if (HandItemsToRunningPlayer(tail))
        return 0;
    KeepLibrariesOutOfTheCurrentFolder();
    StartPlayer(instance, tail, showCommand);
    return RunMessageLoop();
}
