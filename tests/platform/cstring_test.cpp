// cstring_test.cpp - CString's slicing, searching, case, replacing, formatting
// and conversions, as the engine and the plug-ins use them on paths and names.
#include "platform/cstring.h"

#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace {

TEST(CString, SlicesClampOutOfRangeArguments) {
    CString s(L"\"game.gba\"");
    EXPECT_EQ(s.Mid(1), CString(L"game.gba\""));
    EXPECT_EQ(s.Left(s.GetLength() - 1), CString(L"\"game.gba"));
    EXPECT_EQ(s.Right(4), CString(L"gba\""));
    EXPECT_EQ(s.Mid(3, 2), CString(L"me"));
    EXPECT_TRUE(s.Left(-1).IsEmpty());
    EXPECT_EQ(s.Left(99), s);
    EXPECT_TRUE(s.Mid(99).IsEmpty());
    EXPECT_EQ(s.Mid(-5, 2), CString(L"\"g"));
    EXPECT_EQ(s.Right(99), s);
    EXPECT_TRUE(s.Mid(4, -1).IsEmpty());
}

TEST(CString, FindsForwardFromAStartAndBackward) {
    CString path(L"/roms/My.Game.GBA");
    EXPECT_EQ(path.Find(L'/'), 0);
    EXPECT_EQ(path.Find(L'/', 1), 5);
    EXPECT_EQ(path.Find(CString(L"Game")), 9);
    EXPECT_EQ(path.Find(CString(L"Game"), 10), -1);
    EXPECT_EQ(path.Find(L'x'), -1);
    EXPECT_EQ(path.Find(L'/', 99), -1);
    EXPECT_EQ(path.ReverseFind(L'.'), 13);
    EXPECT_EQ(path.ReverseFind(L'x'), -1);
    // The state file name: cut at the last dot, append the extension.
    EXPECT_EQ(path.Left(path.ReverseFind(L'.')) + L".STA", CString(L"/roms/My.Game.STA"));
}

TEST(CString, LowerCaseCoversLettersBeyondAscii) {
    CString s(L"GAME.GBA ÄÖÜ ΣΑΒ Ж");
    EXPECT_EQ(s.MakeLower(), CString(L"game.gba äöü σαβ ж"));
    EXPECT_NE(s.Find(CString(L".gba")), -1);
}

TEST(CString, ComparesWithAndWithoutCase) {
    EXPECT_EQ(CString(L"NES").CompareNoCase(L"nes"), 0);
    EXPECT_LT(CString(L"GameBoy Advance").CompareNoCase(L"NES"), 0);
    EXPECT_GT(CString(L"zebra").CompareNoCase(L"Apple"), 0);
    EXPECT_LT(CString(L"Zebra").Compare(L"apple"), 0) << "with case, capitals sort first";
    EXPECT_EQ(CString(L"Kestrine.SO").CompareNoCase(L"kestrine.so"), 0);
    EXPECT_FALSE(CString(L"Sound") == CString(L"sound"));
}

TEST(CString, ReplacesEveryOccurrenceWithoutRescanningTheReplacement) {
    CString console(L"one\ntwo\n\nthree");
    EXPECT_EQ(console.Replace(L"\n", L"\r\n"), 3);
    EXPECT_EQ(console, CString(L"one\r\ntwo\r\n\r\nthree"));
    CString s(L"aaa");
    EXPECT_EQ(s.Replace(L"aa", L"a"), 1);
    EXPECT_EQ(s, CString(L"aa"));
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
}

TEST(CString, FormatsNumbersAndWideTextOfAnyLength) {
    CString s;
    s.Format(L"SoundChannel%d", 15);
    EXPECT_EQ(s, CString(L"SoundChannel15"));
    s.Format(L"VFPS: %d AFPS: %d    ", 59, 60);
    EXPECT_EQ(s, CString(L"VFPS: 59 AFPS: 60    "));
    std::wstring longText(5000, L'é');
    s.Format(L"[%ls]", longText.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
}

TEST(CString, ConvertsToAndFromUtf8AndUtf16) {
    CString s = CString::FromUtf8("Pokémon 日本 🎮");
    EXPECT_EQ(s.GetLength(), 12) << "one wide character per code point";
    EXPECT_EQ(s.ToUtf8(), "Pokémon 日本 🎮");
    EXPECT_EQ(s.ToUtf16().size(), 13u) << "the emoji takes a surrogate pair";
    EXPECT_EQ(CString::FromUtf16(s.ToUtf16()), s);
    EXPECT_EQ(CString("narrow literals are UTF-8: ü"), CString(L"narrow literals are UTF-8: ü"));
}

TEST(TextEncoding, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("\xC3"), L"\uFFFD") << "truncated sequence";
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD") << "overlong slash";
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD") << "encoded surrogate";
    EXPECT_EQ(Utf16ToWide(u"x\xD800y"), L"x\uFFFDy") << "lone high surrogate";
    EXPECT_EQ(Utf16ToWide(u"\xDC00"), L"\uFFFD") << "lone low surrogate";
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")) << "above U+10FFFF";
    EXPECT_TRUE(IsValidUtf8("plain, é, 日, 🎮"));
    EXPECT_EQ(Utf16Length(L"a🎮"), 3u);
}

}  // namespace
