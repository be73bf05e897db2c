// Titles of older X programs in COMPOUND_TEXT, as Xlib writes them.
#include <gtest/gtest.h>

#include "platform/qt/CompoundText.h"

using platform::CompoundTextToUtf8;

TEST(CompoundText, DecodesTheSetsTitlesUse)
{
    struct
    {
        std::string ct;
        const char* utf8;
    } cases[] = {
        {"Hanavo", "Hanavo"},
        {"Caf\xe9", "Café"}, // Latin-1 in GR by default
        // What Xlib writes for "Hanavo(停止中)" in a Japanese or UTF-8 locale: JIS X 0208 in GL.
        {"Hanavo(\x1b$(BDd;_Cf\x1b(B)", "Hanavo(停止中)"},
        // The same set designated into GR, as EUC-JP locales write it.
        {"Hanavo(\x1b$)B\xc4\xe4\xbb\xdf\xc3\xe6)", "Hanavo(停止中)"},
        {"\x1b)I\xb1\xb2", "ｱｲ"},                // half-width katakana
        {"\x1b%Gx\xe2\x86\x92y\x1b%@!", "x→y!"}, // a UTF-8 segment
        {"a\x1b-A\xe9", "aé"},
    };
    for (const auto& c : cases) {
        auto decoded = CompoundTextToUtf8(c.ct);
        ASSERT_TRUE(decoded.has_value()) << c.utf8;
        EXPECT_EQ(*decoded, c.utf8);
    }
}

TEST(CompoundText, UnknownSetsAreNotGuessed)
{
    EXPECT_FALSE(CompoundTextToUtf8("\x1b-L\xb0").has_value()); // Cyrillic part of 8859-5
    EXPECT_FALSE(CompoundTextToUtf8("\x1b$(D0!").has_value());  // JIS X 0212
    EXPECT_FALSE(CompoundTextToUtf8("\x1b$(BD").has_value());   // a double-byte character cut
    EXPECT_FALSE(CompoundTextToUtf8("\x1b").has_value());
}
