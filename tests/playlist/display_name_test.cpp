// The name shown for an entry, in the title and in the playlist menu.
#include "common/test_support.h"

#include "playlist/display_name.h"

namespace {

TEST(DisplayNameTest, TextAfterTheLastBackslash)
{
    struct Case {
        const char *path;
        const char *shown;
    };
    const Case cases[] = {
        {"C:\\snd\\a.mid", "a.mid"},
        {"a.mid", "a.mid"},           // no backslash: the whole path
        {"\\a.mid", "\\a.mid"},       // its only backslash first: the whole path
        {"C:\\snd\\", ""},            // ends in a backslash
        {"C:\\a\\b\\c.wav", "c.wav"},
        // "表" is 95 5C: its second byte is no backslash.
        {"C:\\snd\\\x95\x5C.mid", "\x95\x5C.mid"},
        {"C:\\\x95\x5C", "\x95\x5C"},
        {"\x95\x5C.mid", "\x95\x5C.mid"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(DisplayName(c.path), c.shown) << c.path;
}

} // namespace
