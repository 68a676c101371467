/* libc.c - the two memory routines the compiler may call on its own. */
#include "gba.h"

void* memcpy(void* dest, const void* src, unsigned n) {
    u8* d = dest;
    const u8* s = src;
    while (n--) *d++ = *s++;
    return dest;
}

void* memset(void* dest, int value, unsigned n) {
    u8* d = dest;
    while (n--) *d++ = (u8)value;
    return dest;
}
