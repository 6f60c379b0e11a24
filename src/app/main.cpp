#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand)
{
    StartPlayer(instance, commandTail, showCommand);
    return RunMessageLoop();
}
