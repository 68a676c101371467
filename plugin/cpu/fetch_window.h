// fetch_window.h - the code page an inner loop fetches its instructions from.
//
// The page tables do not change while the CPU runs (regions are mapped at
// machine start), so an inner loop can look up the page of R15 once and fetch
// straight from the host buffer while R15 stays inside that page. One test per
// instruction, (pc - start) AND NOT (page mask with the alignment bits
// cleared), sends every other case - another page, or an R15 that is not
// aligned for the state - to the full lookup.
//
// The fetch cost is read through a pointer into the cost table rather than
// copied, so a WAITCNT write inside the loop takes effect at the next fetch.
#pragma once

#include <cstdint>

#include "../machine/memory.h"

struct FetchWindow {
    uint32_t start;       // console address of the page
    uintptr_t hostBase;   // host address of console address 0 as this page maps it
    const int32_t* cost;  // the fetch cost entry of the page's region

    // `costTable` is AccessCost16 for Thumb fetches, AccessCost32 for ARM ones.
    FetchWindow(uint32_t pc, const int32_t* costTable)
        : start(pc & ~PageOffsetMask),
          hostBase(reinterpret_cast<uintptr_t>(ReadPageTable[pc >> PageShift]) - start),
          cost(&costTable[(pc >> 24) & 0xF]) {}

    // True when `pc` lies in the page and is a multiple of `Width`.
    template <uint32_t Width>
    bool Holds(uint32_t pc) const {
        return ((pc - start) & ~(PageOffsetMask & ~(Width - 1))) == 0;
    }
    const uint8_t* At(uint32_t pc) const { return reinterpret_cast<const uint8_t*>(hostBase + pc); }
};
