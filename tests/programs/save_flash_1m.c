/* save_flash_1m.c - the 128 KB Flash of a cartridge built with the 1 Mbit
 * Flash library: identification, chip erase of both banks, programming the
 * same offsets of both banks with different bytes, a sector erase, the bank
 * command, and on a later run the bytes of both banks read back from the
 * battery file. Results as save_chips.h says; check numbers:
 *   1 identification not 0x09C2     2, 3 a bank not erased by the chip erase
 *   4 sector erase left bytes       5 bank 0 shows bank 1's bytes
 *   6 bank 1 lost its bytes         7, 8, 9 the later run's banks differ */
#include "save_chips.h"

__attribute__((used)) const char SaveLibraryId[] = "FLASH1M_V103";

#define MARK 0x0100     /* "F1M!" in bank 0 once a first run has finished */
#define AREA 0x3000     /* a 4 KB sector programmed in both banks */
#define ERASED 0x5000   /* a sector of bank 1 programmed, then erased */

static int AreaHolds(u32 seed) {
    for (u32 i = 0; i < 0x1000; ++i)
        if (SRAM[AREA + i] != Pattern(i, seed)) return 0;
    return 1;
}

static int SectorErased(u32 offset) {
    for (u32 i = 0; i < 0x1000; ++i)
        if (SRAM[offset + i] != 0xFF) return 0;
    return 1;
}

static void ProgramArea(u32 seed) {
    for (u32 i = 0; i < 0x1000; ++i) FlashProgram(AREA + i, Pattern(i, seed));
}

int main(void) {
    if (FlashIdentify() != 0x09C2) Finish(0, 1);
    if (SRAM[MARK] == 'F' && SRAM[MARK + 1] == '1' && SRAM[MARK + 2] == 'M' && SRAM[MARK + 3] == '!') {
        if (!AreaHolds(0)) Finish(2, 7);
        FlashBank(1);
        if (!AreaHolds(1)) Finish(2, 8);
        if (!SectorErased(ERASED)) Finish(2, 9);
        FlashBank(0);
        Finish(2, 0);
    }
    FlashEraseChip();
    if (!SectorErased(AREA)) Finish(1, 2);
    FlashBank(1);
    if (!SectorErased(0xF000)) Finish(1, 3);
    ProgramArea(1);
    for (u32 i = 0; i < 0x100; ++i) FlashProgram(ERASED + i, (u8)i);
    FlashEraseSector(ERASED + 0x123);
    if (!SectorErased(ERASED)) Finish(1, 4);
    FlashBank(0);
    if (!SectorErased(AREA)) Finish(1, 5);
    ProgramArea(0);
    FlashBank(1);
    if (!AreaHolds(1)) Finish(1, 6);
    FlashBank(0);
    FlashProgram(MARK, 'F');
    FlashProgram(MARK + 1, '1');
    FlashProgram(MARK + 2, 'M');
    FlashProgram(MARK + 3, '!');
    /* Bank 1 stays mapped: the battery file still starts with bank 0. */
    FlashBank(1);
    Finish(1, 0);
    return 0;
}
