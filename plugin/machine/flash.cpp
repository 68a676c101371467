// flash.cpp - the Flash command interpreter over the SRAM buffer.
//
// Byte stores to the 64 KB backup area pass through a small command interpreter
// that recognises the Flash unlock sequence (0xAA at 0x5555, 0x55 at 0x2AAA)
// and lets every other byte through as a plain SRAM write, so one buffer
// serves SRAM and Flash games alike.
//
// The 128 KB chip (cartridges built with the 1 Mbit Flash library) has two
// 64 KB banks. The SRAM buffer always holds the bank the CPU sees, the parked
// buffer the other one; selecting a bank swaps the two buffers' contents, so
// the page tables never change while the CPU runs. Only that chip knows the
// bank command (state 7) and erases 128 KB on a chip erase.
//
//   0 --5555:AA--> 1 --2AAA:55--> 2 --5555:80--> 3 --5555:AA--> 4 --2AAA:55--> 5
//                                 2 --5555:90--> 0  identification mode on
//                                 2 --5555:F0--> 0  identification mode off
//                                 2 --5555:A0--> 6 --any--> 0  program one byte (AND)
//                                                5 --xxxx:30--> 0  erase a 4 KB sector
//                                                5 --5555:10--> 0  erase the whole chip
//                                 2 --5555:B0--> 7 --0000:n--> 0  map bank n (128 KB chip)
//
// A byte that breaks a sequence replays the command bytes taken so far (0xAA at
// 0x5555 and 0x55 at 0x2AAA; state 3 replays nothing) and is then written
// plainly, returning to state 0.
//
// Invariants: state <= 6 (7 on the 128 KB chip); while identification mode is
// on, bytes 0 and 1 of the buffer show the identification and `saved` holds
// what they replaced.
#include "flash.h"

#include <algorithm>
#include <cstring>

#include "console.h"
#include "memory.h"
#include "platform/record.h"

FlashChip Flash;

namespace {

constexpr uint32_t CommandAddress1 = 0x5555;
constexpr uint32_t CommandAddress2 = 0x2AAA;
constexpr uint8_t LastState = 6;
constexpr uint8_t BankState = 7;
constexpr uint32_t SectorSize = 0x1000;

// Offsets of the stored record.
constexpr int StateAt = 4, ModeAt = 5, TraceAt = 6, IdentificationAt = 8, SavedAt = 10;
static_assert(SavedAt + 2 == FlashChipBytes, "the record is 12 bytes");

void PlainWrite(FlashChip& chip, uint32_t offset, uint8_t value) {
    chip.data[offset] = value;
    chip.state = 0;
}

void ReplayFirst(FlashChip& chip) { chip.data[CommandAddress1] = 0xAA; }
void ReplayBoth(FlashChip& chip) {
    chip.data[CommandAddress1] = 0xAA;
    chip.data[CommandAddress2] = 0x55;
}

void ShowIdentification(FlashChip& chip) {
    // Entering twice keeps the bytes saved the first time, so leaving restores the data.
    if (!chip.identifying) {
        chip.saved[0] = chip.data[0];
        chip.saved[1] = chip.data[1];
    }
    chip.identifying = 1;
    chip.data[0] = static_cast<uint8_t>(chip.identification);
    chip.data[1] = static_cast<uint8_t>(chip.identification >> 8);
}

void EnterIdentification(FlashChip& chip) {
    if (chip.trace) ConsolePrintf("FLASH: Product ID mode entered.\n");
    ShowIdentification(chip);
}

void LeaveIdentification(FlashChip& chip) {
    chip.identifying = 0;
    chip.data[0] = chip.saved[0];
    chip.data[1] = chip.saved[1];
}

void Trace(const FlashChip& chip, const char* format, uint32_t value) {
    if (chip.trace) ConsolePrintf(format, value);
}

}  // namespace

void InitFlash(uint16_t identification, uint8_t* sram, uint8_t* parked) {
    // A chip left in identification mode gives its two data bytes back, so a
    // reset never leaves the identification in the battery data.
    if (Flash.identifying && sram && Flash.data == sram) LeaveIdentification(Flash);
    // A reset maps bank 0 again, as at power-on.
    if (Flash.parked && Flash.parked == parked && Flash.data == sram) SelectFlashBank(Flash, 0);
    Flash.data = sram;
    Flash.parked = parked;
    Flash.bank = 0;
    Flash.identification = identification;
    Flash.state = 0;
    Flash.identifying = 0;
}

void SelectFlashBank(FlashChip& chip, uint32_t bank) {
    bank &= 1;
    if (!chip.parked || bank == chip.bank) return;
    // Identification mode stays on over the newly mapped bank; the bytes it
    // covered go back into the bank they came from.
    bool identifying = chip.identifying;
    if (identifying) LeaveIdentification(chip);
    std::swap_ranges(chip.data, chip.data + FlashBankBytes, chip.parked);
    chip.bank = static_cast<uint8_t>(bank);
    if (identifying) ShowIdentification(chip);
}

void CopyFlashBank(const FlashChip& chip, uint32_t bank, uint8_t* out) {
    bool mapped = !chip.parked || bank == chip.bank;
    std::memcpy(out, mapped ? chip.data : chip.parked, FlashBankBytes);
    if (mapped && chip.identifying) {
        out[0] = chip.saved[0];
        out[1] = chip.saved[1];
    }
}

void FlashWrite(uint32_t offset, uint8_t b) {
    FlashChip& chip = Flash;
    uint32_t o = offset & 0xFFFF;
    switch (chip.state) {
    case 0:
        if (o == CommandAddress1 && b == 0xAA) {
            chip.state = 1;
        } else if (chip.identifying && b == 0xF0) {
            if (chip.trace) ConsolePrintf("FLASH: Product ID mode exited.\n");
            LeaveIdentification(chip);
        } else {
            chip.data[o] = b;
        }
        return;
    case 1:
        if (o == CommandAddress2 && b == 0x55) {
            chip.state = 2;
            return;
        }
        Trace(chip, "FLASH: 0xAA 0x%02X?\n", b);
        ReplayFirst(chip);
        PlainWrite(chip, o, b);
        return;
    case 2:
        if (o != CommandAddress1) {
            Trace(chip, "FLASH: 0xAA 0x55 0x%02X?\n", b);
            ReplayBoth(chip);
            PlainWrite(chip, o, b);
            return;
        }
        switch (b) {
        case 0x80: chip.state = 3; return;
        case 0x90:
            chip.state = 0;
            EnterIdentification(chip);
            return;
        case 0xA0: chip.state = 6; return;
        case 0xB0:
            if (chip.parked) {
                chip.state = BankState;
                return;
            }
            chip.state = 0;
            Trace(chip, "FLASH: Unknown command 0x%02X.\n", b);
            return;
        case 0xF0:
            chip.state = 0;
            if (chip.trace) ConsolePrintf("FLASH: Product ID mode exited.\n");
            if (chip.identifying) LeaveIdentification(chip);
            return;
        default:
            chip.state = 0;
            Trace(chip, "FLASH: Unknown command 0x%02X.\n", b);
            return;
        }
    case 3:
        if (o == CommandAddress1 && b == 0xAA) {
            chip.state = 4;
            return;
        }
        Trace(chip, "FLASH: 0xAA 0x55 0x80 0x%02X?\n", b);
        PlainWrite(chip, o, b);
        return;
    case 4:
        if (o == CommandAddress2 && b == 0x55) {
            chip.state = 5;
            return;
        }
        Trace(chip, "FLASH: 0xAA 0x55 0x80 0xAA 0x%02X?\n", b);
        ReplayFirst(chip);
        PlainWrite(chip, o, b);
        return;
    case 5:
        if (b == 0x30) {
            chip.state = 0;
            uint32_t first = o & 0xF000;
            if (chip.trace) ConsolePrintf("FLASH: Erasing page 0x%04X-0x%04X.\n", first, first + SectorSize - 1);
            if (!chip.identifying) std::memset(chip.data + first, 0xFF, SectorSize);
        } else if (o == CommandAddress1 && b == 0x10) {
            chip.state = 0;
            if (!chip.identifying) {
                if (chip.trace) ConsolePrintf("FLASH: Erasing entire ROM.\n");
                std::memset(chip.data, 0xFF, SaveRamSize);
                if (chip.parked) std::memset(chip.parked, 0xFF, FlashBankBytes);
            }
        } else if (o == CommandAddress1) {
            chip.state = 0;
            Trace(chip, "FLASH: Unknown command 0x80 0x%02X.\n", b);
        } else {
            Trace(chip, "FLASH: 0xAA 0x55 0x80 0xAA 0x55 0x%02X?.\n", b);
            ReplayBoth(chip);
            PlainWrite(chip, o, b);
        }
        return;
    case BankState:
        if (o == 0) {
            chip.state = 0;
            if (chip.trace) ConsolePrintf("FLASH: Bank %d selected.\n", b & 1);
            SelectFlashBank(chip, b);
            return;
        }
        Trace(chip, "FLASH: 0xAA 0x55 0xB0 0x%02X?\n", b);
        PlainWrite(chip, o, b);
        return;
    default:  // 6: program one byte
        chip.state = 0;
        if (!chip.identifying) {
            uint8_t old = chip.data[o];
            if (chip.trace)
                ConsolePrintf("FLASH: Writing to 0x%04X: 0x%02X AND 0x%02X ==> 0x%02X.\n", o, b, old, b & old);
            chip.data[o] = old & b;
        }
        return;
    }
}

void StoreFlashChip(const FlashChip& chip, uint8_t out[FlashChipBytes]) {
    for (int i = 0; i < FlashChipBytes; ++i) out[i] = 0;
    out[StateAt] = chip.state;
    out[ModeAt] = chip.identifying;
    out[TraceAt] = chip.trace;
    StoreLe16(out + IdentificationAt, chip.identification);
    out[SavedAt] = chip.saved[0];
    out[SavedAt + 1] = chip.saved[1];
}

bool LoadFlashChip(FlashChip& chip, const uint8_t in[FlashChipBytes]) {
    uint8_t last = chip.parked ? BankState : LastState;
    if (in[StateAt] > last || in[ModeAt] > 1) return false;
    chip.state = in[StateAt];
    chip.identifying = in[ModeAt];
    chip.trace = in[TraceAt];
    chip.identification = LoadLe16(in + IdentificationAt);
    chip.saved[0] = in[SavedAt];
    chip.saved[1] = in[SavedAt + 1];
    return true;
}
