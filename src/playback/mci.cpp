#include "playback/mci.h"

#include <mmsystem.h>

#include <cstdlib>

static MCIERROR SendToPlatform(const char *command, char *reply, UINT replyLength, HWND callback)
{
    return mciSendStringA(command, reply, replyLength, callback);
}

MciSender mciSender = SendToPlatform;

MCIERROR SendMci(const char *command, char *reply, UINT replyLength, HWND callback)
{
    return mciSender(command, reply, replyLength, callback);
}

int MciReplySeconds(const char *reply)
{
    return static_cast<int>(std::strtol(reply, nullptr, 10) / 1000);
}
