// The presses against the platform's real MCI device playing a WAV file:
// where the sound stands after pause, resume, stop and play.
#include "controls_fixture.h"

#include "playback/play_track.h"

#include <cstdlib>

namespace controls_test {
namespace {

class ControlsSoundTest : public ControlsTest {
  protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        // Long enough that the faster-than-real-time null device cannot
        // reach the end while the test presses its buttons.
        song = folder / "long.wav";
        WriteToneWav(song, 30, 440);
        player.playlist = {song};
    }

    static std::string Status(const char *item)
    {
        char reply[64] = "";
        SendMci((std::string("status music ") + item + " wait").c_str(), reply, sizeof reply);
        return reply;
    }
    static long Position() { return std::strtol(Status("position").c_str(), nullptr, 10); }

    std::string song;
};

TEST_F(ControlsSoundTest, PauseResumeStopAndPlayMoveTheRealDevice)
{
    PlayTrack(0);
    ASSERT_EQ(CurrentTransport(), Playing);
    ASSERT_EQ(player.backEnd, Mci);
    ASSERT_TRUE(WaitUntil([] { return Position() > 300; }));

    Press(player.pauseButton);
    EXPECT_EQ(Status("mode"), "paused");
    const long pausedAt = Position();
    EXPECT_GT(pausedAt, 300);

    // Resuming goes on from the paused position, not from the start.
    Press(player.pauseButton);
    EXPECT_EQ(Status("mode"), "playing");
    EXPECT_GE(Position(), pausedAt);
    ASSERT_TRUE(WaitUntil([&] { return Position() > pausedAt; }));

    Press(player.stopButton);
    EXPECT_EQ(Status("mode"), "stopped");
    EXPECT_EQ(Position(), 0);

    // Play starts the track again from its beginning.
    Press(player.playButton);
    EXPECT_EQ(Status("mode"), "playing");
    EXPECT_TRUE(WaitUntil([] { return Position() > 0; }));
    EXPECT_EQ(CurrentTransport(), Playing);
}

} // namespace
} // namespace controls_test
