// error_text.cpp - the error texts, word for word as the user sees them.
#include "error_text.h"

DWORD EmuError(DWORD code) { return code == EmuErrorLoadFailed ? 1 : 0; }

const wchar_t* EmuErrorString(DWORD code) {
    if (code == EmuErrorLoadFailed)
        return L"Tamboril was unable to load the ROM.  This often means the device has run out of memory.  Please "
               L"see the Console tab for more information.";
    return L"Marrowby: Unknown error.";
}

const wchar_t* GeneralErrorString(DWORD code) {
    struct Entry {
        DWORD code;
        const wchar_t* text;
    };
    static constexpr Entry Texts[] = {
        {0xC0000005, L"Tamboril: Access violation"},
        {0x80000002,
         L"Tamboril: The thread attempted to read or write data that is misaligned on hardware that does not provide "
         L"alignment."},
        {0x80000003, L"Tamboril: Breakpoint was encountered."},
        {0x80000004,
         L"Tamboril: A trace trap or other single-instruction mechanism signaled that one instruction has been "
         L"executed."},
        {0xC0000025,
         L"Tamboril: The thread attempted to continue execution after a noncontinuable exception occurred."},
        {0xC000008C,
         L"Tamboril: The thread attempted to access an array element that is out of bounds, and the underlying "
         L"hardware supports bounds checking."},
        {0xC000008D, L"Tamboril: One of the operands in a floating-point operation is denormal."},
        {0xC000008E,
         L"Tamboril: The thread attempted to divide a floating-point value by a floating-point divisor of zero."},
        {0xC000008F,
         L"Tamboril: The result of a floating-point operation cannot be represented exactly as a decimal fraction."},
        {0xC0000090, L"Tamboril: This exception represents any floating-point exception not included in this list."},
        {0xC0000091,
         L"Tamboril: The exponent of a floating-point operation is greater than the magnitude allowed by the "
         L"corresponding type."},
        {0xC0000092, L"Tamboril: The stack overflowed or underflowed as the result of a floating-point operation."},
        {0xC0000093,
         L"Tamboril: The exponent of a floating-point operation is less than the magnitude allowed by the "
         L"corresponding type."},
        {0xC0000094, L"Tamboril: The thread attempted to divide an integer value by an integer divisor of zero."},
        {0xC0000095,
         L"Tamboril: The result of an integer operation caused a carry out of the most significant bit of the result."},
        {0xC0000096,
         L"Tamboril: The thread attempted to execute an instruction whose operation is not allowed in the current "
         L"machine mode."},
    };
    for (const Entry& entry : Texts) {
        if (entry.code == code) return entry.text;
    }
    return L"Tamboril: Unknown error.";
}
