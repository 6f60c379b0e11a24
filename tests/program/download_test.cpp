// The Windows download, unpacked into a folder whose path has a space and
// a Japanese name: the program there plays an MP3 file through the engine
// beside it, says so in its About box, and the read-me reads in Notepad.
#include "program/program_support.h"

#include "playlist/narrow_path.h"

namespace {

// The folder that download.sh unpacked the zip into, as this program
// names it (code page 932).
std::string UnpackedFolder()
{
    std::string record = ReadBytes(BuildFolder() + "\\fixtures\\program\\download-folder.txt");
    while (!record.empty() && (record.back() == '\n' || record.back() == '\r'))
        record.pop_back();
    if (record.empty())
        return std::string();
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, record.c_str(), -1, nullptr, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, record.c_str(), -1, &wide[0], wideLength);
    int length = WideCharToMultiByte(932, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length, '\0');
    WideCharToMultiByte(932, 0, wide.c_str(), -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(length - 1);
    std::string path = "Z:" + narrow;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i])))
            ++i;
        else if (path[i] == '/')
            path[i] = '\\';
    }
    return path;
}

bool HasSpaceAndNonAscii(const std::string &path)
{
    bool nonAscii = false;
    for (char c : path)
        nonAscii |= static_cast<unsigned char>(c) >= 0x80;
    return nonAscii && path.find(' ') != std::string::npos;
}

class DownloadTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        folder = UnpackedFolder();
        ASSERT_FALSE(folder.empty()) << "no unpacked download: the download_unpack test makes it";
        ASSERT_TRUE(HasSpaceAndNonAscii(folder)) << folder;
        for (const char *name : {"Tunewell.exe", "VBMP3.dll", "ReadMe.txt", "Licenses.txt"})
            ASSERT_TRUE(FileExists(folder + "\\" + name)) << name << " missing in " << folder;
    }
    std::string folder;
};

TEST_F(DownloadTest, Mp3IsHeardThroughTheEngineAndTheAboutBoxSaysSo)
{
    std::string sound = SoundFilePath();
    REQUIRE_SOUND_FILE();
    std::string track = folder + "\\tone.mp3";
    ASSERT_TRUE(CopyFileA(ProgramFixture("mono1000.mp3").c_str(), track.c_str(), FALSE));
    ClearSound();

    ProgramProcess program;
    EXPECT_TRUE(StartProgram(folder + "\\Tunewell.exe", "\"" + track + "\"", folder, program));
    // The engine plays 16-bit at the file's own rate (22.05 kHz mono,
    // 44,100 bytes a second) where the platform's services would give
    // 48 kHz float. Each round of the one entry starts the file again:
    // keep the first copy that holds 4 s.
    std::string pcm = WaitForSoundBytes(4 * 44100 + 4096);
    EXPECT_GE(pcm.size(), 4u * 44100 + 4096);
    AboutBox about = ReadAboutBox(program);
    EXPECT_EQ(CloseProgram(program), 0u);
    DeleteFileA(track.c_str());

    EXPECT_EQ(about.title, "バージョン情報");
    EXPECT_EQ(about.text, "Tunewell Version " TUNEWELL_VERSION "v");
    size_t begin = 0;
    while (begin + 2 <= pcm.size() && pcm[begin] == 0 && pcm[begin + 1] == 0)
        begin += 2;
    ASSERT_GE(pcm.size(), begin + 4 * 44100);
    SoundSummary heard = SummarizeSound(pcm.substr(begin, 4 * 44100), 22050, 1);
    EXPECT_NEAR(heard.frequency, 1000, 20);
    EXPECT_GT(heard.rms, 5000);
}

// The notices of the libraries inside the engine, whose licences ask that
// every copy carries them, as text for Notepad.
TEST_F(DownloadTest, LicencesCarryTheNoticeOfEachLibraryInside)
{
    std::string text = ReadBytes(folder + "\\Licenses.txt");
    for (const char *library : {"flac", "libogg", "libvorbis", "opus", "opusfile"})
        EXPECT_NE(text.find(std::string("==== ") + library + " ====\r\n"), std::string::npos) << library;
    EXPECT_NE(text.find("Redistributions in binary form must reproduce the above copyright"), std::string::npos);
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
}

// UTF-8 with a byte-order mark and CR LF line ends: Notepad on any Windows
// shows it as written, whatever the system's code page, Japanese menu
// names included.
TEST_F(DownloadTest, ReadMeIsTextForNotepad)
{
    std::string text = ReadBytes(folder + "\\ReadMe.txt");
    ASSERT_GT(text.size(), 500u);
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark";
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
    for (size_t i = 3; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        ASSERT_TRUE(c >= 0x20 || c == '\r' || c == '\n') << "byte " << int(c) << " at " << i;
        if (c == '\n') {
            ASSERT_EQ(text[i - 1], '\r') << "bare LF at " << i;
        }
        if (c == '\r') {
            ASSERT_EQ(text[i + 1], '\n') << "bare CR at " << i;
        }
    }
    // Read as Notepad reads it; nothing but valid UTF-8 converts.
    const char *body = text.data() + 3;
    int bodyBytes = int(text.size() - 3);
    int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, body, bodyBytes, nullptr, 0);
    ASSERT_GT(wideLength, 0) << "not valid UTF-8";
    std::wstring wide(size_t(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, body, bodyBytes, &wide[0], wideLength);
    EXPECT_EQ(wide.find(WidenText("Tunewell " TUNEWELL_VERSION "\r\n")), 0u);
    for (const wchar_t *topic : {L"Tunewell.exe", L"VBMP3.dll", L"list.txt", L"Right-click", L"Ctrl", L"bg.bmp",
                                 L"already running"})
        EXPECT_NE(wide.find(topic), std::wstring::npos) << ConvertForShowing(topic);
    // The menu's own words, each beside its meaning.
    for (const char *item : {"ファイル読み込み (Open file)", "再生リスト書き出し (Save list)", "リピート (Repeat)",
                             "再生リストから除外 (Remove from list)", "再生リスト (List)", "バージョン情報 (About)"})
        EXPECT_NE(wide.find(WidenText(item)), std::wstring::npos) << item;
}

} // namespace
