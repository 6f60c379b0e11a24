// A dropped track is heard: the drop reaches the platform's own MCI and
// its sound lands in the output file.
#include "ui/menu_support.h"


#include <cmath>

namespace {

class DropsSoundTest : public PlayerTest {};

TEST_F(DropsSoundTest, DroppedTrackIsHeard)
{
    REQUIRE_SOUND_FILE();
    TempDir folder;
    HWND window = StartTestPlayer(folder.path());
    std::string tone = folder / "tone.wav";
    WriteToneWav(tone, 1.0, 660);
    ClearSound();
    SendDrop(window, {tone});
    EXPECT_EQ(player.playlist, (std::vector<std::string>{tone}));
    EXPECT_EQ(player.playing, 1);
    EXPECT_EQ(player.title, "tone.wav");

    const size_t second = 44100 * 2 * 2;
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(SoundFilePath()).size() >= second * 9 / 10; }));
    std::string pcm = ReadBytes(SoundFilePath());
    SoundSummary sound = SummarizeSound(FromFirstSound(pcm, 2).substr(0, second / 2), 44100, 2);
    EXPECT_NEAR(sound.frequency, 660, 20);
    EXPECT_GT(sound.rms, 5000);
}

} // namespace
