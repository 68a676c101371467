// wave_out.h - the wave-out device: plays blocks of 8-bit mono PCM written to it,
// in order, on the default audio output (SDL), and marks each block done once
// the device has consumed it.
//
// The caller keeps its blocks in headers it owns and polls their flags; nothing
// calls back into the caller. Invariants:
//  1. A header is "in queue" from Write until the device has played its last byte
//     or Reset/Close has taken it out; then it is "done". While in queue the
//     device's thread reads its data, so the caller must not change the data,
//     the length or the header, nor free them.
//  2. The flags are atomic: the device's thread sets done and clears in-queue in
//     one step, so a caller that sees done may at once reuse the block.
//  3. Reset and Close mark every queued header done before they return, and
//     after Close the device's thread has stopped.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "types.h"

namespace Lumaret {

// Result codes.
constexpr uint32_t kWaveOk = 0;
constexpr uint32_t kWaveBadDeviceId = 2;  // no output device can be opened
constexpr uint32_t kWaveInvalidHandle = 5;
constexpr uint32_t kWaveNoDriver = 6;  // there is no audio system
constexpr uint32_t kWaveNoMemory = 7;
constexpr uint32_t kWaveInvalidParameter = 11;
constexpr uint32_t kWaveBadFormat = 32;
constexpr uint32_t kWaveStillPlaying = 33;
constexpr uint32_t kWaveUnprepared = 34;

// Header flags.
constexpr uint32_t kWaveHeaderDone = 0x01;
constexpr uint32_t kWaveHeaderPrepared = 0x02;
constexpr uint32_t kWaveHeaderInQueue = 0x10;

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint32_t kWaveMinRate = 8000;
constexpr uint32_t kWaveMaxRate = 192000;

// Only PCM, one channel, 8 bits (unsigned, 0x80 is silence), blockAlign 1 and
// avgBytesPerSec equal to samplesPerSec, at kWaveMinRate..kWaveMaxRate.
struct WaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

struct WaveHeader {
    uint8_t* data = nullptr;
    uint32_t bufferLength = 0;
    std::atomic<uint32_t> flags{0};
    WaveHeader* next = nullptr;  // the device's queue link
};

class LUMARET_API WaveOut {
public:
    // Opens the default output. kWaveBadFormat for a format outside the one above,
    // kWaveNoDriver when the audio system cannot start, kWaveBadDeviceId when no
    // output device opens, kWaveNoMemory.
    static uint32_t Open(const WaveFormat& format, std::unique_ptr<WaveOut>* device);
    ~WaveOut();
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    // Marks a header prepared (kWaveInvalidParameter without data, kWaveStillPlaying
    // while it is in queue).
    uint32_t PrepareHeader(WaveHeader* header);
    uint32_t UnprepareHeader(WaveHeader* header);
    // Queues a prepared header behind those written before (kWaveUnprepared,
    // kWaveStillPlaying when it is in queue already).
    uint32_t Write(WaveHeader* header);
    // Stops playing and marks every queued header done.
    uint32_t Reset();
    // Reset, then stops the device; later calls give kWaveInvalidHandle.
    uint32_t Close();

private:
    WaveOut() = default;
    static void Callback(void* self, uint8_t* stream, int length);
    void Play(uint8_t* stream, int length);
    void TakeOutQueue();

    uint32_t device_ = 0;
    uint8_t silence_ = 0x80;
    // Guarded by the device lock (the device's thread plays under it).
    WaveHeader* head_ = nullptr;
    WaveHeader* tail_ = nullptr;
    uint32_t played_ = 0;  // bytes of head_ already played
};

}  // namespace Lumaret
