// registry_text_test.cpp - the store's file format: what is written reads
// back with the same types and bytes, files written by other tools read, and
// damaged key lines never let their values fall into another key.
#include "engine/registry_text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr const char* Root = "HKEY_CURRENT_USER";

RegistryKey SampleKeys() {
    RegistryKey root;
    root.values.push_back({L"", REG_SZ, StringValueData(u"root default")});
    RegistryKey& key = root.ObtainSubKey({L"Software", L"Tamboril"});
    std::vector<uint8_t> long_(200);
    for (size_t i = 0; i < long_.size(); ++i) long_[i] = static_cast<uint8_t>(i * 13);
    key.values = {
        {L"Quote \"and\" back\\slash", REG_SZ, StringValueData(u"C:\\path \"x\"")},
        {L"Unterminated", REG_SZ, {'a', 0, 'b', 0}},
        {L"Embedded", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}},
        {L"LoneSurrogate", REG_SZ, {0x00, 0xD8, 0, 0}},
        {L"Odd", REG_SZ, {'a'}},
        {L"Empty", REG_BINARY, {}},
        {L"NoType", REG_NONE, {}},
        {L"Expand", REG_EXPAND_SZ, StringValueData(u"%HOME%")},
        {L"Dword", REG_DWORD, {1, 2, 3, 4}},
        {L"ShortDword", REG_DWORD, {1}},
        {L"Large type", 0x12345678, {9}},
        {L"Long", REG_BINARY, long_},
    };
    root.ObtainSubKey({L"Software", L"Empty"});
    return root;
}

void ExpectSameKeys(const RegistryKey& a, const RegistryKey& b) {
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.values, b.values) << a.name.ToUtf8();
    ASSERT_EQ(a.subKeys.size(), b.subKeys.size()) << a.name.ToUtf8();
    for (size_t i = 0; i < a.subKeys.size(); ++i) ExpectSameKeys(a.subKeys[i], b.subKeys[i]);
}

TEST(RegistryText, WhatIsWrittenReadsBackWithTheSameTypesAndBytes) {
    RegistryKey keys = SampleKeys();
    std::string text = FormatRegistryText(keys, Root);
    RegistryText read = ParseRegistryText(text, Root);
    EXPECT_TRUE(read.problems.empty()) << read.problems[0];
    EXPECT_TRUE(read.unreadableLines.empty());
    ExpectSameKeys(read.root, keys);
    EXPECT_EQ(FormatRegistryText(read.root, Root), text);
}

TEST(RegistryText, OnlyPlainTerminatedTextIsWrittenInQuotes) {
    std::string text = FormatRegistryText(SampleKeys(), Root);
    for (const char* line : {"@=\"root default\"", "\"Quote \\\"and\\\" back\\\\slash\"=\"C:\\\\path \\\"x\\\"\"",
                             "\"Unterminated\"=hex(1):61,00,62,00", "\"Odd\"=hex(1):61", "\"Empty\"=hex:",
                             "\"NoType\"=hex(0):", "\"Expand\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,00,00",
                             "\"Dword\"=hex(4):01,02,03,04", "\"Large type\"=hex(12345678):09"}) {
        EXPECT_NE(text.find(std::string("\n") + line + "\n"), std::string::npos) << line;
    }
}

TEST(RegistryText, LongByteListsWrapBelowEightyColumns) {
    std::string text = FormatRegistryText(SampleKeys(), Root);
    std::istringstream lines(text);
    int continued = 0;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
        continued += line.ends_with('\\');
    }
    EXPECT_GE(continued, 7);
}

TEST(RegistryText, ReadsFilesFromOtherToolsWithCarriageReturnsAndDwords) {
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
        "[hkey_current_user\\Software\\Tamboril]\r\n"
        "\"Volume\"=dword:00000046\r\n"
        "\"Bytes\"=hex:01,02,\\\r\n"
        "  03, 04\r\n"
        "\t\"Indented\"=\"text\"\r\n";
    RegistryText read = ParseRegistryText(text, Root);
    EXPECT_TRUE(read.problems.empty()) << read.problems[0];
    RegistryKey* key = read.root.FindSubKey(L"SOFTWARE")->FindSubKey(L"tamboril");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->FindValue(L"volume")->type, REG_DWORD);
    EXPECT_EQ(key->FindValue(L"Volume")->data, (std::vector<uint8_t>{0x46, 0, 0, 0}));
    EXPECT_EQ(key->FindValue(L"Bytes")->data, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(key->FindValue(L"Indented")->data, StringValueData(u"text"));
}

TEST(RegistryText, ValuesBelowADamagedKeyLineAreSetAside) {
    const char* badKeys[] = {
        "[HKEY_CURRENT_USER\\]",          "[HKEY_CURRENT_USER\\A\\\\B]", "[-HKEY_CURRENT_USER\\A]",
        "[HKEY_CURRENT_USERS\\A]",        "[HKEY_CURRENT_USER\\A",       "[HKEY_CURRENT_USER\\\xFF]",
        "[HKEY_LOCAL_MACHINE\\Software]",
    };
    for (const char* bad : badKeys) {
        std::string text = std::string("Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Good]\n") + bad +
                           "\n\"Value\"=hex:01\n";
        RegistryText read = ParseRegistryText(text, Root);
        EXPECT_TRUE(read.root.FindSubKey(L"Good")->values.empty()) << bad;
        EXPECT_EQ(read.unreadableLines, (std::vector<std::string>{bad, "\"Value\"=hex:01"})) << bad;
        EXPECT_EQ(read.problems.size(), 2u) << bad;
    }
}

TEST(RegistryText, TheRootKeyMayHoldValues) {
    RegistryText read = ParseRegistryText("[HKEY_CURRENT_USER]\n@=hex:05\n", Root);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], "line 1: no header line");
    ASSERT_EQ(read.root.values.size(), 1u);
    EXPECT_EQ(read.root.values[0].data, std::vector<uint8_t>{5});
}

TEST(RegistryText, KeyPathsRejectEmptyOrUnwritableNames) {
    std::vector<CString> names;
    EXPECT_TRUE(SplitKeyPath(L"", names));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(SplitKeyPath(L"Software\\Tamboril\\GameBoyAdvance", names));
    EXPECT_EQ(names.size(), 3u);
    for (const wchar_t* bad : {L"\\Software", L"Software\\", L"A\\\\B", L"line\nbreak"})
        EXPECT_FALSE(SplitKeyPath(bad, names)) << CString(bad).ToUtf8();
    EXPECT_TRUE(SplitKeyPath(std::wstring(255, L'k'), names));
    EXPECT_FALSE(SplitKeyPath(std::wstring(256, L'k'), names));
    EXPECT_TRUE(IsValidValueName(L""));
    EXPECT_FALSE(IsValidValueName(L"tab\there"));
}

}  // namespace
