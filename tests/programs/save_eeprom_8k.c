/* save_eeprom_8k.c - the 8 KB serial EEPROM of a cartridge built with the
 * EEPROM library: every request goes by DMA3 with 14-bit block numbers (17
 * halfwords to read, 81 to write), blocks across all 1024 are written and
 * read back, and on a later run read back from the battery file. Results as
 * save_chips.h says; check numbers:
 *   1 a read reply without its leading zeros
 *   2 a block read back differs      3 block 64 shows block 0 (a 512-byte chip)
 *   4 the later run's blocks differ */
#include "save_chips.h"

__attribute__((used)) const char SaveLibraryId[] = "EEPROM_V124";

#define MARK_BLOCK 1023
#define MARK 0x45453842214B4F21ull /* "!OK!B8EE" */

static const u32 Blocks[] = {0, 1, 63, 64, 511, 512, 700, 1022};
#define BLOCK_COUNT (sizeof Blocks / sizeof Blocks[0])

static int BlocksHold(void) {
    for (u32 i = 0; i < BLOCK_COUNT; ++i) {
        int ones;
        if (EepromRead(Blocks[i], 14, &ones) != BlockPattern(Blocks[i], 3) || ones) return 0;
    }
    return 1;
}

int main(void) {
    int ones;
    u64 mark = EepromRead(MARK_BLOCK, 14, &ones);
    if (ones) Finish(0, 1);
    if (mark == MARK) Finish(2, BlocksHold() ? 0 : 4);
    for (u32 i = 0; i < BLOCK_COUNT; ++i) EepromWrite(Blocks[i], BlockPattern(Blocks[i], 3), 14);
    if (!BlocksHold()) Finish(1, 2);
    EepromWrite(64, ~BlockPattern(0, 3), 14);
    if (EepromRead(0, 14, &ones) != BlockPattern(0, 3)) Finish(1, 3);
    EepromWrite(64, BlockPattern(64, 3), 14);
    EepromWrite(MARK_BLOCK, MARK, 14);
    Finish(1, 0);
    return 0;
}
