// Paths that name a device are told apart from music files by their last
// element alone, in any folder, with any extension and in any case.
#include "playlist/device_name.h"

#include <gtest/gtest.h>

namespace {

struct DeviceCase {
    const char *path;
    bool device;
};

TEST(DeviceNameTest, TheLastElementNamesTheDevice)
{
    const DeviceCase cases[] = {
        {"AUX.wma", true},
        {"aux.wma", true},
        {"COM1.wma", true},
        {"C:\\AUX.wma", true},
        {"Z:\\tmp\\music\\aux.wma", true},
        {"C:/Music/con.mid", true},
        {"nul", true},
        {"PRN.mp3", true},
        {"lpt9.wav", true},
        {"Com3.tar.gz", true},
        {"AUX .mid", true},
        {"com1:", true},
        {"CONOUT$.wav", true},
        {"\\\\.\\COM1", true},
        {"\\\\.\\pipe\\music.wav", true},
        {"\\\\?\\C:\\Music\\a.wav", true},
        // Folders named like devices hold ordinary files.
        {"C:\\AUX\\a.wma", false},
        {"C:\\Music\\com1\\", false},
        {"COM0.wav", false},
        {"COM10.wav", false},
        {"LPT.wav", false},
        {"auxiliary.wma", false},
        {"xaux.wma", false},
        {"con_sert.mid", false},
        {".aux", false},
        {"\\\\server\\share\\aux.txt.wav", true},
        {"\\\\server\\share\\a.wav", false},
        {"", false},
        // 表 ends in the byte 0x5C: "表aux.wma" is one element, not a
        // folder 表 holding aux.wma.
        {"C:\\\x95\x5C" "aux.wma", false},
        {"C:\\\x95\x5C\\aux.wma", true},
    };
    for (const DeviceCase &c : cases)
        EXPECT_EQ(NamesADevice(c.path), c.device) << c.path;
}

} // namespace
