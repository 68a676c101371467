// battery_watch.cpp - the battery file written once the backup memory is quiet.
//
// Changes are found by comparing the backup memory with a copy taken at the
// previous frame, which sees every way of writing it (byte stores through the
// Flash interpreter, halfword and word stores, DMA, the EEPROM, a loaded
// state) without a test on the CPU's store path. The comparison costs a few
// microseconds a frame; the copy is refreshed only when something changed.
//
//   clean --change--> pending --QuietFrames without change--> write
//   write: same as the file's content -> clean; written -> clean;
//          failed -> pending, next try after RetryFrames
//
// Writes do not wait for the disk (no flush): the rename keeps the old or the
// new file whole when the program dies, and a stall of the emulation while
// the disk catches up would show. Shutdown writes with a flush as before.
#include "battery_watch.h"

#include <cstring>
#include <vector>

#include "battery_file.h"
#include "eeprom.h"
#include "flash.h"
#include "memory.h"

namespace {

struct Watch {
    bool active = false;
    bool pending = false;
    uint64_t frame = 0;
    uint64_t lastChange = 0;
    uint64_t nextTry = 0;
    std::vector<uint8_t> seen;     // the backup memory's buffers at the last frame
    std::vector<uint8_t> written;  // the battery file's content as this machine last wrote or read it
    std::vector<uint8_t> image;    // scratch for the content to write
};
Watch State;

struct Span {
    const uint8_t* data;
    size_t size;
};

// The buffers behind the backup memory, in a fixed order.
int BackupSpans(Span spans[3]) {
    int n = 0;
    spans[n++] = {SaveRam(), SaveRamSize};
    if (Flash.parked) spans[n++] = {Flash.parked, FlashBankBytes};
    spans[n++] = {EepromChip.data, static_cast<size_t>(EepromSize(EepromChip))};
    return n;
}

// Compares the buffers with the copy of the last frame; true, with the copy
// refreshed, when any byte differs.
bool Changed() {
    Span spans[3];
    int n = BackupSpans(spans);
    size_t total = 0;
    for (int i = 0; i < n; ++i) total += spans[i].size;
    bool changed = State.seen.size() != total;
    State.seen.resize(total);
    size_t at = 0;
    for (int i = 0; i < n; ++i) {
        uint8_t* copy = State.seen.data() + at;
        if (changed || std::memcmp(copy, spans[i].data, spans[i].size) != 0) {
            std::memcpy(copy, spans[i].data, spans[i].size);
            changed = true;
        }
        at += spans[i].size;
    }
    return changed;
}

}  // namespace

void StartBatteryWatch() {
    State = Watch{};
    State.active = SaveRam() != nullptr;
    if (!State.active) return;
    Changed();
    BuildBatteryImage(State.written);
}

void StopBatteryWatch() { State = Watch{}; }

void BatteryWatchFrame() {
    if (!State.active) return;
    ++State.frame;
    if (Changed()) {
        State.pending = true;
        State.lastChange = State.frame;
        return;
    }
    if (!State.pending || State.frame - State.lastChange < QuietFrames || State.frame < State.nextTry) return;
    BuildBatteryImage(State.image);
    if (State.image == State.written) {
        State.pending = false;
        return;
    }
    if (WriteSaveFile(false)) {
        State.written.swap(State.image);
        State.pending = false;
    } else {
        State.nextTry = State.frame + RetryFrames;
    }
}
