// The real program with entries named like devices, from its list file and
// from a file of that name that its folder scan finds: it passes over them,
// goes on playing, answers at once and closes normally.
#include "program/program_support.h"

#include <string>

namespace {

// Whether the program's main window answers a message within a second.
bool Answers(const ProgramProcess &program)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(program.window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

// Copies a file to a name Windows cannot make, from the Linux side.
void CopyOnLinux(const std::string &from, const std::string &folder, const std::string &name)
{
    std::string unixFolder = UnixPathOf(folder);
    ASSERT_FALSE(unixFolder.empty());
    ASSERT_EQ(RunLinuxCommand("cp '" + UnixPathOf(from) + "' '" + unixFolder + "/" + name + "'"), 0);
}

TEST(DeviceNamesProgramTest, EntriesNamedLikeDevicesArePassedOver)
{
    REQUIRE_SOUND_FILE();
    struct Case {
        const char *name;
        std::string list; // list.txt; none: the folder is scanned
    };
    const Case cases[] = {
        {"list file", "AUX.wma\r\nCOM1.wma\r\nC:\\AUX.wma\r\nlpt2.mid\r\ntone.wav\r\n"},
        {"folder scan", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        // A short tone: each of its ends picks another entry at random, so
        // the entries named like devices come up within a few ends.
        std::string tone = folder / "tone.wav";
        WriteToneWav(tone, 0.5, 660);
        CopyOnLinux(tone, folder.path(), "aux.wma");
        if (!c.list.empty())
            WriteBytes(folder / "list.txt", c.list);
        ClearSound();

        ProgramProcess program;
        ASSERT_TRUE(StartProgram(ProgramPath(), "", folder.path(), program));
        // Ten starts of the tone (each start writes the sound file anew),
        // heard as it is, with the player answering all along.
        for (int start = 0; start < 10; ++start) {
            if (WaitForSoundBytes(44100, 10000).size() < 44100 || !Answers(program)) {
                ADD_FAILURE() << "the player stopped or hangs at start " << start;
                break;
            }
            EXPECT_NEAR(WaitForSound(0.1).frequency, 660, 20);
            ClearSound();
        }
        EXPECT_EQ(CloseProgram(program), 0u);
    }
}

} // namespace
