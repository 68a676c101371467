// quintrel_test.cpp - the runtime helper library's fifteen functions, and that
// loading it privately leaves the C library of the process alone.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>

#include "platform/runtime_link.h"
#include "test_support.h"

namespace {

class Quintrel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        handle = dlopen((std::string(TAMBORIL_BIN_DIR) + "/libquintrel.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    void SetUp() override { ASSERT_NE(handle, nullptr) << dlerror(); }
    template <typename Function>
    static Function Get(const char* name) {
        void* symbol = dlsym(handle, name);
        EXPECT_NE(symbol, nullptr) << name;
        return reinterpret_cast<Function>(symbol);
    }
    static void* handle;
};
void* Quintrel::handle = nullptr;

using TextFunction = char* (*)(char*);
using CharFunction = int (*)(int);
using IntFunction = int (*)();

TEST_F(Quintrel, CaseConversionOnlyTouchesAsciiLetters) {
    auto lower = Get<CharFunction>("_tolower");
    auto upper = Get<CharFunction>("_toupper");
    EXPECT_EQ(lower('A'), 'a');
    EXPECT_EQ(lower('Z'), 'z');
    EXPECT_EQ(lower('['), '[');
    EXPECT_EQ(lower('@'), '@');
    EXPECT_EQ(lower('a'), 'a');
    EXPECT_EQ(upper('z'), 'Z');
    EXPECT_EQ(upper('{'), '{');
    EXPECT_EQ(upper(-23), -23);
    char text[] = "ab1Zq\xE9";
    EXPECT_EQ(Get<TextFunction>("_strupr")(text), text);
    EXPECT_STREQ(text, "AB1ZQ\xE9");
    EXPECT_STREQ(Get<TextFunction>("_strlwr")(text), "ab1zq\xE9");
}

TEST_F(Quintrel, StrdupCopiesWithTheTerminator) {
    auto strdup = Get<char* (*)(const char*)>("_strdup");
    const char* original = "save path";
    char* copy = strdup(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_STREQ(copy, original);
    std::free(copy);  // the library allocates with the C library's allocator
    char* empty = strdup("");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], '\0');
    std::free(empty);
}

TEST_F(Quintrel, CallocZeroesAndRefusesOverflowingSizes) {
    auto calloc = Get<void* (*)(size_t, size_t)>("calloc");
    auto* block = static_cast<unsigned char*>(calloc(3, 4));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(block[i], 0) << i;
    std::free(block);
    EXPECT_EQ(calloc(SIZE_MAX / 2 + 2, 2), nullptr) << "the product wraps";
}

TEST_F(Quintrel, CharacterClassesAsTheSystemUsesThem) {
    auto isprint = Get<CharFunction>("isprint");
    auto isspace = Get<CharFunction>("isspace");
    EXPECT_EQ(isprint('A'), 65);
    EXPECT_EQ(isprint(0), 0);
    EXPECT_EQ(isprint('\n'), '\n');
    EXPECT_EQ(isspace(' '), 1);
    EXPECT_EQ(isspace('\t'), 0);
    EXPECT_EQ(isspace('\n'), 0);
    EXPECT_EQ(isspace('\r'), 0);
}

TEST_F(Quintrel, StrrchrFindsTheLastMatchButNeverTheTerminator) {
    auto strrchr = Get<char* (*)(const char*, int)>("strrchr");
    const char* text = "a.b.c";
    EXPECT_EQ(strrchr(text, '.'), text + 3);
    EXPECT_EQ(strrchr(text, 'a'), text);
    EXPECT_EQ(strrchr(text, 'x'), nullptr);
    EXPECT_EQ(strrchr(text, 0), nullptr);
    EXPECT_EQ(strrchr("", 'a'), nullptr);
    const char* high = "x\xE9y";
    EXPECT_EQ(strrchr(high, -23), high + 1) << "characters compare as signed char";
    EXPECT_EQ(strrchr(high, 0xE9), nullptr);
}

TEST_F(Quintrel, RewindReturnsTheSeekResult) {
    TempDir dir;
    std::FILE* file = std::fopen(dir.File("f").c_str(), "w+b");
    ASSERT_NE(file, nullptr);
    std::fputs("battery", file);
    EXPECT_EQ(Get<int (*)(std::FILE*)>("rewind")(file), 0);
    EXPECT_EQ(std::ftell(file), 0);
    EXPECT_EQ(std::fgetc(file), 'b');
    std::fclose(file);
}

TEST_F(Quintrel, TimePacksTheCalendarFields) {
    auto time = Get<int (*)(int*)>("time");
    for (int attempt = 0; attempt < 5; ++attempt) {
        std::time_t before = std::time(nullptr);
        int stored = -1;
        int packed = time(&stored);
        std::time_t after = std::time(nullptr);
        if (before != after) continue;  // the second changed during the call
        std::tm local;
        localtime_r(&before, &local);
        EXPECT_EQ(packed, local.tm_mday << 24 | local.tm_hour << 16 | local.tm_min << 8 | local.tm_sec);
        EXPECT_EQ(stored, packed);
        EXPECT_EQ(time(nullptr) >> 24, local.tm_mday);
        return;
    }
    FAIL() << "the clock never held still for one call";
}

TEST_F(Quintrel, GetmsIsTheLowPartOfAMillisecondStamp) {
    auto getms = Get<IntFunction>("getms");
    uint32_t first = static_cast<uint32_t>(getms());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    uint32_t second = static_cast<uint32_t>(getms());
    EXPECT_GE(second - first, 25u);
    EXPECT_LT(second - first, 60000u);
}

TEST_F(Quintrel, StopwatchMeasuresMilliseconds) {
    auto init = Get<IntFunction>("timerinit");
    auto start = Get<IntFunction>("timerstart");
    auto stop = Get<IntFunction>("timerstop");
    EXPECT_NE(start(), 0);
    EXPECT_EQ(stop(), 0) << "before timerinit there is no frequency: 0, not a division by zero";
    EXPECT_NE(init(), 0);
    EXPECT_NE(start(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    int elapsed = stop();
    EXPECT_GE(elapsed, 40);
    EXPECT_LT(elapsed, 60000);
}

TEST_F(Quintrel, LoadingItLeavesTheCLibraryInPlace) {
    void* ours = dlsym(handle, "calloc");
    ASSERT_NE(ours, nullptr);
    EXPECT_NE(dlsym(RTLD_DEFAULT, "calloc"), ours);
    EXPECT_NE(dlsym(RTLD_DEFAULT, "time"), dlsym(handle, "time"));
    EXPECT_GT(std::time(nullptr), 1000000000) << "time() is still a count of seconds";
    EXPECT_NE(std::isspace('\t'), 0) << "the C library's isspace";
}

TEST_F(Quintrel, TheBatteryReaderRewindsThroughTheLibrary) {
    RuntimeRewindFunction rewind = RuntimeRewind();
    ASSERT_NE(rewind, nullptr) << "libquintrel.so beside the tests";
    Dl_info info;
    ASSERT_NE(dladdr(reinterpret_cast<void*>(rewind), &info), 0);
    EXPECT_NE(std::string(info.dli_fname).find("libquintrel.so"), std::string::npos) << info.dli_fname;
    EXPECT_NE(reinterpret_cast<void*>(rewind), dlsym(RTLD_DEFAULT, "rewind"));

    TempDir dir;
    std::FILE* file = std::fopen(dir.File("f").c_str(), "w+b");
    ASSERT_NE(file, nullptr);
    std::fputs("xyz", file);
    EXPECT_EQ(RewindFile(file, rewind), 0);
    EXPECT_EQ(std::fgetc(file), 'x');
    EXPECT_EQ(RewindFile(file, nullptr), 0) << "without the library the file is still rewound";
    EXPECT_EQ(std::fgetc(file), 'x');
    std::fclose(file);
}

}  // namespace
