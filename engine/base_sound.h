// base_sound.h - Emu::BaseSound, the sound side every plug-in derives from: a
// ring of wave-out buffers that the device plays in turn. Trigger refills the
// buffers the device has finished with, through the subclass's FillBuffer,
// and queues them again; nothing calls back from the device.
//
// States: closed (rate 0) --Open--> open (rate > 0) --Close, or a write
// error in Trigger--> closed. Open allocates everything the ring needs;
// Trigger allocates nothing.
#pragma once

#include <memory>
#include <vector>

#include "engine/marrowby_api.h"
#include "lumaret/wave_out.h"

namespace Emu {

class Emulator;

class MARROWBY_API BaseSound {
public:
    explicit BaseSound(Emulator* emulator);
    // Virtual operations in the order of the plug-in contract.
    virtual ~BaseSound();
    // Opens the device at `rate` Hz with the engine's SoundBuffers buffers of
    // BlockSizeFor(rate) bytes, each queued with silence; on failure prints
    // its console line and stays closed.
    virtual void Open(int rate);
    virtual void Close();
    virtual bool IsOpen();
    virtual void Pause();
    virtual void Resume();
    virtual void Trigger(bool fill);
    // Re-reads the channel enables, Noise and Volume (while open), then opens
    // or closes the device as the engine's and the plug-in's Sound, SoundRate
    // and SoundBuffers now ask, while a file runs.
    virtual void UpdateSettings();
    // Writes exactly GetBlockSize() bytes of 8-bit unsigned mono samples.
    virtual void FillBuffer(unsigned char* block) = 0;

    // 512 / (44100 / rate) with integer divisions, at least 128.
    static int BlockSizeFor(int rate);
    int GetBlockSize() const { return blockSize_; }
    int GetRate() const { return rate_; }
    int GetBufferCount() const { return bufferCount_; }

protected:
    // Channel enables, Noise and Volume from the settings (while open: the
    // enables array exists only then).
    void ReadChannelSettings();
    // Resets and closes the device and frees every buffer and array: closed.
    void Release();

    Emulator* emulator_;
    std::unique_ptr<Lumaret::WaveOut> device_;
    std::unique_ptr<Lumaret::WaveHeader[]> headers_;
    std::vector<std::unique_ptr<uint8_t[]>> buffers_;
    std::vector<Lumaret::WaveHeader*> queue_;
    int bufferCount_ = 0;
    int blockSize_ = 0;
    int rate_ = 0;          // 0 while closed
    int channelCount_ = 0;  // set by the subclass before Open
    int enabledCount_ = 0;
    std::unique_ptr<bool[]> channelEnabled_;  // channelCount_ entries while open
    bool noise_ = false;
    int volume_ = 0;
};

}  // namespace Emu
