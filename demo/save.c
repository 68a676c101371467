/* save.c - the boot counter kept in battery-backed SRAM (byte accesses only, as SRAM requires). */
#include "demo.h"

static const char Magic[4] = {'T', 'M', 'B', 'R'};

u32 CountBoot(void) {
    u32 count = 0;
    int valid = 1;
    for (int i = 0; i < 4; ++i)
        if (SRAM[i] != (u8)Magic[i]) valid = 0;
    if (valid)
        for (int i = 0; i < 4; ++i) count |= (u32)SRAM[4 + i] << (8 * i);
    ++count;
    for (int i = 0; i < 4; ++i) SRAM[i] = (u8)Magic[i];
    for (int i = 0; i < 4; ++i) SRAM[4 + i] = (u8)(count >> (8 * i));
    return count;
}
