// error_text_test.cpp - every code of the error tables and its text, and the
// codes next to them that have none.
#include "engine/error_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ErrorText, OnlyTheLoadFailureIsAnEngineError) {
    EXPECT_EQ(EmuError(0x6001), 1u);
    for (DWORD code : {0x6000u, 0x6002u, 0u, 0xC0000005u, 0x16001u}) EXPECT_EQ(EmuError(code), 0u) << std::hex << code;
}

TEST(ErrorText, EngineTexts) {
    EXPECT_STREQ(
        EmuErrorString(0x6001),
        L"Tamboril was unable to load the ROM.  This often means the device has run out of memory.  Please see "
        L"the Console tab for more information.");
    EXPECT_STREQ(EmuErrorString(0x6000), L"Marrowby: Unknown error.");
    EXPECT_STREQ(EmuErrorString(0x6002), L"Marrowby: Unknown error.");
}

TEST(ErrorText, SystemExceptionTexts) {
    const std::pair<DWORD, std::wstring> table[] = {
        {0xC0000005, L"Access violation"},
        {0x80000002,
         L"The thread attempted to read or write data that is misaligned on hardware that does not provide alignment."},
        {0x80000003, L"Breakpoint was encountered."},
        {0x80000004,
         L"A trace trap or other single-instruction mechanism signaled that one instruction has been executed."},
        {0xC0000025, L"The thread attempted to continue execution after a noncontinuable exception occurred."},
        {0xC000008C,
         L"The thread attempted to access an array element that is out of bounds, and the underlying hardware supports "
         L"bounds checking."},
        {0xC000008D, L"One of the operands in a floating-point operation is denormal."},
        {0xC000008E, L"The thread attempted to divide a floating-point value by a floating-point divisor of zero."},
        {0xC000008F, L"The result of a floating-point operation cannot be represented exactly as a decimal fraction."},
        {0xC0000090, L"This exception represents any floating-point exception not included in this list."},
        {0xC0000091,
         L"The exponent of a floating-point operation is greater than the magnitude allowed by the corresponding "
         L"type."},
        {0xC0000092, L"The stack overflowed or underflowed as the result of a floating-point operation."},
        {0xC0000093,
         L"The exponent of a floating-point operation is less than the magnitude allowed by the corresponding type."},
        {0xC0000094, L"The thread attempted to divide an integer value by an integer divisor of zero."},
        {0xC0000095,
         L"The result of an integer operation caused a carry out of the most significant bit of the result."},
        {0xC0000096,
         L"The thread attempted to execute an instruction whose operation is not allowed in the current machine mode."},
        {0xC0000097, L"Unknown error."},
        {0xC0000004, L"Unknown error."},
        {0x80000001, L"Unknown error."},
        {0x6001, L"Unknown error."},
        {0, L"Unknown error."},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(GeneralErrorString(code), L"Tamboril: " + text) << std::hex << code;
}

}  // namespace
