/* save_all_chips.c - writes all three kinds of backup memory of a cartridge
 * without a save library string, as the 64 KB buffer and the 512-byte EEPROM
 * take them: SRAM by plain byte stores, a Flash sector erased and programmed
 * by commands, and every EEPROM block by DMA3 with 6-bit block numbers. A
 * later run reads every byte back. Results as save_chips.h says; check
 * numbers: 1 SRAM, 2 Flash sector, 3 EEPROM differ on the later run. */
#include "save_chips.h"

#define MARK 0x0010    /* "ALL!" once a first run has finished */
#define PLAIN 0x0100   /* SRAM bytes 0x0100..0x10FF */
#define SECTOR 0x8000  /* a Flash sector */

int main(void) {
    if (SRAM[MARK] == 'A' && SRAM[MARK + 1] == 'L' && SRAM[MARK + 2] == 'L' && SRAM[MARK + 3] == '!') {
        for (u32 i = 0; i < 0x1000; ++i)
            if (SRAM[PLAIN + i] != Pattern(i, 5)) Finish(2, 1);
        for (u32 i = 0; i < 0x1000; ++i)
            if (SRAM[SECTOR + i] != Pattern(i, 6)) Finish(2, 2);
        for (u32 block = 0; block < 64; ++block) {
            int ones;
            if (EepromRead(block, 6, &ones) != BlockPattern(block, 7) || ones) Finish(2, 3);
        }
        Finish(2, 0);
    }
    for (u32 i = 0; i < 0x1000; ++i) SRAM[PLAIN + i] = Pattern(i, 5);
    FlashEraseSector(SECTOR);
    for (u32 i = 0; i < 0x1000; ++i) FlashProgram(SECTOR + i, Pattern(i, 6));
    for (u32 block = 0; block < 64; ++block) EepromWrite(block, BlockPattern(block, 7), 6);
    SRAM[MARK] = 'A';
    SRAM[MARK + 1] = 'L';
    SRAM[MARK + 2] = 'L';
    SRAM[MARK + 3] = '!';
    Finish(1, 0);
    return 0;
}
