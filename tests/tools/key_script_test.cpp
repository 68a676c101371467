// key_script_test.cpp - parsing of runner key scripts and the keys they hold per frame.
#include "key_script.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyScript, EachItemHoldsUntilTheNext) {
    Headless::KeyScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("10:Start,12:-,30:Right+A,60:-", error)) << error;
    EXPECT_EQ(script.KeysAt(0), 0u);
    EXPECT_EQ(script.KeysAt(9), 0u);
    EXPECT_EQ(script.KeysAt(10), 0x008u);
    EXPECT_EQ(script.KeysAt(11), 0x008u);
    EXPECT_EQ(script.KeysAt(12), 0u);
    EXPECT_EQ(script.KeysAt(30), 0x011u);
    EXPECT_EQ(script.KeysAt(59), 0x011u);
    EXPECT_EQ(script.KeysAt(60), 0u);
    EXPECT_EQ(script.KeysAt(1000000), 0u);
}

TEST(KeyScript, FrameNumbersReachTheLastFrameOfARun) {
    Headless::KeyScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("0:A,2147483647:B", error)) << error;
    EXPECT_EQ(script.KeysAt(2147483646), 0x001u);
    EXPECT_EQ(script.KeysAt(2147483647), 0x002u);
}

TEST(KeyScript, EveryButtonHasItsKeypadBit) {
    Headless::KeyScript script;
    std::string error;
    ASSERT_TRUE(script.Parse("0:A+B+Select+Start+Right+Left+Up+Down+R+L", error)) << error;
    EXPECT_EQ(script.KeysAt(0), 0x3FFu);
}

TEST(KeyScript, MalformedScriptsAreRefusedWithAReason) {
    for (const char* bad : {"", "10", ":A", "x:A", "10:Jump", "10:A+", "10:A,", "10:A,5:B", "10:A,10:B", "-1:A",
                            "10:+A", "10:", " 5:A", "2147483648:A", "18446744073709551621:A", "0x10:A"}) {
        Headless::KeyScript script;
        std::string error;
        EXPECT_FALSE(script.Parse(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

}  // namespace
