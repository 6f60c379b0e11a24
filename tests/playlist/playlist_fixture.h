// Shared by the playlist tests: a clean playlist with the scan patterns in
// place, and small helpers for real files and folders.
#pragma once

#include "common/test_support.h"

#include "core/player_state.h"
#include "playlist/store.h"

#include <algorithm>
#include <string>
#include <vector>

class PlaylistFixture : public ::testing::Test {
  protected:
    void SetUp() override
    {
        player.filePatterns = {"*.mid", "*.wav", "*.mp3", "*.wma"};
        ClearPlaylist();
    }
    void TearDown() override { StopTestPlayer(); }
};

inline std::vector<std::string> Entries() { return player.playlist; }

inline void Touch(const std::string &path) { WriteBytes(path, "x"); }

inline void AddNumberedEntries(int count)
{
    for (int i = 0; i < count; ++i)
        AddEntry(("C:\\held\\" + std::to_string(i) + ".wav").c_str());
}

// What the platform itself lists for base + pattern, in its own order,
// each name joined to base.
inline std::vector<std::string> PlatformMatches(const std::string &base, const std::string &pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((base + pattern).c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(base + found.cFileName);
    while (FindNextFileA(listing, &found));
    FindClose(listing);
    return names;
}

// The platform's listing of all four patterns, one group after the other.
inline std::vector<std::string> PlatformScan(const std::string &base)
{
    std::vector<std::string> all;
    for (const char *pattern : {"*.mid", "*.wav", "*.mp3", "*.wma"}) {
        std::vector<std::string> group = PlatformMatches(base, pattern);
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
}

inline std::vector<std::string> Sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

inline std::vector<std::string> Prefixed(const std::string &base, const std::vector<std::string> &names)
{
    std::vector<std::string> paths;
    for (const std::string &name : names)
        paths.push_back(base + name);
    return paths;
}

// Names of the files in `folder` (no "." or "..").
inline std::vector<std::string> FolderContents(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
    return Sorted(names);
}

// Whether the file system under the platform can hold a name in double
// bytes: Wine cannot while its Unix locale has no such characters.
inline bool PlatformStoresDoubleByteNames()
{
    TempDir probe;
    return CreateDirectoryA((probe / "\x8B\xC8").c_str(), nullptr) != 0;
}
