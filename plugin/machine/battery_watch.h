// battery_watch.h - writes the battery file while the game plays, so that a
// crash, a killed process or a power cut loses at most the last moments of
// saving instead of the whole session.
//
// The host calls BatteryWatchFrame once per emulated frame. Once the game
// has changed its backup memory (SRAM, Flash or EEPROM) and then left it
// untouched for QuietFrames frames, the battery file is written as at
// shutdown (same content and sizes, temporary file and rename), unless it
// already holds exactly that. Since every write waits for QuietFrames frames
// without a change after the last one, writes are at least that far apart.
#pragma once

#include <cstdint>

// About a second of emulated time.
constexpr uint32_t QuietFrames = 60;
// After a failed write, the next try waits about a minute (or for shutdown).
constexpr uint32_t RetryFrames = 60 * 60;

// Takes the backup memory as the machine started with it; called by the
// loader once the battery file has been read.
void StartBatteryWatch();
// Forgets the machine; called when its buffers are released.
void StopBatteryWatch();
// One emulated frame has passed.
void BatteryWatchFrame();
