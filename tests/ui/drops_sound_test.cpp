// A dropped track is heard: the drop reaches the platform's own MCI and
// its sound lands in the output file.
#include "ui/menu_support.h"

#include "playlist/playlist.h"

#include <cmath>

namespace {

class DropsSoundTest : public PlayerTest {};

TEST_F(DropsSoundTest, DroppedTrackIsHeard)
{
    if (SoundFilePath().empty())
        GTEST_SKIP() << "no sound output file";
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
    // Past any silence the device puts first.
    size_t start = 0;
    while (start + 4 <= pcm.size() && pcm[start] == 0 && pcm[start + 1] == 0)
        start += 4;
    SoundSummary sound = SummarizeSound(pcm.substr(start, second / 2), 44100, 2);
    EXPECT_NEAR(sound.frequency, 660, 20);
    EXPECT_GT(sound.rms, 5000);
}

} // namespace
