// LoadMp3Engine against stand-in libraries placed as "VBMP3.dll" in a
// folder on the DLL search path, and against no library at all.
#include "common/test_support.h"

#include "playback/mp3_engine.h"

namespace {

std::string FakePath(const char *name)
{
    return BuildFolder() + "\\tests\\fakes\\" + name + ".dll";
}

class EngineLoaderTest : public PlayerTest {
  protected:
    void Use(const char *fake)
    {
        if (fake) {
            ASSERT_TRUE(CopyFileA(FakePath(fake).c_str(), (folder / "VBMP3.dll").c_str(), FALSE)) << fake;
            // A reference of the test's own keeps the stand-in and its notes
            // in memory after the player lets the library go.
            held = LoadLibraryA((folder / "VBMP3.dll").c_str());
            ASSERT_NE(held, nullptr) << fake;
        }
        SetDllDirectoryA(folder.path().c_str());
    }
    std::string Calls()
    {
        auto calls = reinterpret_cast<const char *(*)()>(
            reinterpret_cast<void *>(GetProcAddress(held, "fake_engine_calls")));
        return calls ? calls() : "(not loaded)";
    }
    void TearDown() override
    {
        PlayerTest::TearDown();
        if (player.mp3Module)
            FreeLibrary(player.mp3Module);
        player.mp3Module = nullptr;
        if (held)
            FreeLibrary(held);
        SetDllDirectoryA(nullptr);
    }
    TempDir folder;
    HMODULE held = nullptr;
};

TEST_F(EngineLoaderTest, NoLibraryMeansNoEngine)
{
    Use(nullptr);
    EXPECT_FALSE(LoadMp3Engine());
    EXPECT_EQ(player.mp3Module, nullptr);
    EXPECT_EQ(player.vbmp3.init, nullptr);
    EXPECT_FALSE(Mp3EngineReady());
}

// The library is asked whether it can play only when that is first
// needed, and only once: its answer probes the sound output.
TEST_F(EngineLoaderTest, ReadyLibraryIsBoundThenAskedOnce)
{
    Use("fake_engine_ready");
    EXPECT_TRUE(LoadMp3Engine());
    ASSERT_NE(player.mp3Module, nullptr);
    EXPECT_EQ(player.mp3Module, held);
    EXPECT_EQ(Calls(), "");
    EXPECT_TRUE(Mp3EngineReady());
    EXPECT_TRUE(Mp3EngineReady());
    EXPECT_EQ(Calls(), "init ");
    EXPECT_EQ(reinterpret_cast<void *>(player.vbmp3.seek),
              reinterpret_cast<void *>(GetProcAddress(player.mp3Module, "vbmp3_seek")));
    EXPECT_EQ(reinterpret_cast<void *>(player.vbmp3.callback),
              reinterpret_cast<void *>(GetProcAddress(player.mp3Module, "vbmp3_clallback")));
}

TEST_F(EngineLoaderTest, LibraryThatIsNotReadyIsNeverCalledAgain)
{
    Use("fake_engine_not_ready");
    TempDir music;
    WriteToneWav(music / "tone.mp3", 1, 440);
    // The first MP3 asks; it then plays through MCI.
    StartTestPlayer(music.path(), "tone.mp3");
    EXPECT_EQ(player.mp3EngineAvailable, 0);
    EXPECT_EQ(player.backEnd, Mci);
    StopTestPlayer();
    // Not even vbmp3_free at shutdown; the library is let go all the same.
    EXPECT_EQ(Calls(), "init ");
    EXPECT_EQ(player.mp3Module, nullptr);
}

TEST_F(EngineLoaderTest, StartUpLeavesTheLibraryUnasked)
{
    Use("fake_engine_ready");
    TempDir music;
    StartTestPlayer(music.path());
    EXPECT_EQ(Calls(), "");
    StopTestPlayer();
    // Never asked, so never freed.
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(player.mp3Module, nullptr);
}

TEST_F(EngineLoaderTest, ReadyLibraryIsFreedWhenTheWindowCloses)
{
    Use("fake_engine_ready");
    TempDir music;
    StartTestPlayer(music.path());
    EXPECT_TRUE(Mp3EngineReady());
    StopTestPlayer();
    EXPECT_EQ(Calls(), "init free ");
    // The player's own reference is gone with the window: only the test's
    // holds the library now.
    EXPECT_EQ(player.mp3Module, nullptr);
    FreeLibrary(held);
    EXPECT_EQ(GetModuleHandleA("VBMP3.dll"), nullptr);
    held = nullptr;
}

TEST_F(EngineLoaderTest, LibraryWithoutEveryEntryPointCountsAsMissing)
{
    Use("fake_engine_incomplete");
    EXPECT_EQ(LoadMp3Engine(), 0);
    EXPECT_EQ(Calls(), "");
    EXPECT_EQ(player.vbmp3.init, nullptr);
}

} // namespace
