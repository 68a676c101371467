// wave_out.cpp - the wave-out device on SDL2 audio.
//
// SDL pulls samples from its own thread through Callback, which copies from the
// queued headers under SDL's device lock. The caller's operations take the same
// lock when they touch the queue; the header flags are atomic (wave_out.h).
#include "wave_out.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace Lumaret {

namespace {

bool FormatSupported(const WaveFormat& f) {
    return f.formatTag == kWaveFormatPcm && f.channels == 1 && f.bitsPerSample == 8 && f.blockAlign == 1 &&
           f.samplesPerSec >= kWaveMinRate && f.samplesPerSec <= kWaveMaxRate && f.avgBytesPerSec == f.samplesPerSec;
}

// Samples per SDL callback: the power of two nearest above a hundredth of a second.
uint16_t CallbackSamples(uint32_t rate) {
    uint16_t samples = 64;
    while (samples < rate / 100) samples *= 2;
    return samples;
}

// Done and out of the queue in one atomic step (invariant 2).
void MarkDone(WaveHeader* header) {
    uint32_t flags = header->flags.load();
    while (!header->flags.compare_exchange_weak(flags, (flags | kWaveHeaderDone) & ~kWaveHeaderInQueue)) {
    }
}

}  // namespace

uint32_t WaveOut::Open(const WaveFormat& format, std::unique_ptr<WaveOut>* device) {
    if (!device) return kWaveInvalidParameter;
    device->reset();
    if (!FormatSupported(format)) return kWaveBadFormat;
    std::unique_ptr<WaveOut> out(new (std::nothrow) WaveOut);
    if (!out) return kWaveNoMemory;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return kWaveNoDriver;

    SDL_AudioSpec want{};
    want.freq = static_cast<int>(format.samplesPerSec);
    want.format = AUDIO_U8;
    want.channels = 1;
    want.samples = CallbackSamples(format.samplesPerSec);
    want.callback = &WaveOut::Callback;
    want.userdata = out.get();
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware takes.
    out->device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (out->device_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return kWaveBadDeviceId;
    }
    out->silence_ = have.silence;
    SDL_PauseAudioDevice(out->device_, 0);
    *device = std::move(out);
    return kWaveOk;
}

WaveOut::~WaveOut() { Close(); }

uint32_t WaveOut::PrepareHeader(WaveHeader* header) {
    if (device_ == 0) return kWaveInvalidHandle;
    if (!header || (!header->data && header->bufferLength > 0)) return kWaveInvalidParameter;
    if (header->flags & kWaveHeaderInQueue) return kWaveStillPlaying;
    header->flags |= kWaveHeaderPrepared;
    return kWaveOk;
}

uint32_t WaveOut::UnprepareHeader(WaveHeader* header) {
    if (device_ == 0) return kWaveInvalidHandle;
    if (!header) return kWaveInvalidParameter;
    if (header->flags & kWaveHeaderInQueue) return kWaveStillPlaying;
    header->flags &= ~kWaveHeaderPrepared;
    return kWaveOk;
}

uint32_t WaveOut::Write(WaveHeader* header) {
    if (device_ == 0) return kWaveInvalidHandle;
    if (!header) return kWaveInvalidParameter;
    const uint32_t flags = header->flags;
    if (!(flags & kWaveHeaderPrepared)) return kWaveUnprepared;
    if (flags & kWaveHeaderInQueue) return kWaveStillPlaying;
    header->next = nullptr;
    header->flags = (flags & ~kWaveHeaderDone) | kWaveHeaderInQueue;
    SDL_LockAudioDevice(device_);
    (tail_ ? tail_->next : head_) = header;
    tail_ = header;
    SDL_UnlockAudioDevice(device_);
    return kWaveOk;
}

uint32_t WaveOut::Reset() {
    if (device_ == 0) return kWaveInvalidHandle;
    SDL_LockAudioDevice(device_);
    TakeOutQueue();
    SDL_UnlockAudioDevice(device_);
    return kWaveOk;
}

uint32_t WaveOut::Close() {
    if (device_ == 0) return kWaveInvalidHandle;
    // Waits for the device's thread to end, so the queue is ours alone afterwards.
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    TakeOutQueue();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return kWaveOk;
}

void WaveOut::TakeOutQueue() {
    while (head_) {
        WaveHeader* header = head_;
        head_ = header->next;
        header->next = nullptr;
        MarkDone(header);
    }
    tail_ = nullptr;
    played_ = 0;
}

void WaveOut::Callback(void* self, uint8_t* stream, int length) { static_cast<WaveOut*>(self)->Play(stream, length); }

// On the device's thread, under the device lock: copies queued blocks in order,
// marking each done when its last byte is taken, and fills the rest with silence.
void WaveOut::Play(uint8_t* stream, int length) {
    uint32_t filled = 0;
    const uint32_t wanted = static_cast<uint32_t>(std::max(length, 0));
    while (filled < wanted && head_) {
        WaveHeader* header = head_;
        const uint32_t count = std::min(header->bufferLength - played_, wanted - filled);
        if (count > 0) std::memcpy(stream + filled, header->data + played_, count);
        filled += count;
        played_ += count;
        if (played_ == header->bufferLength) {
            head_ = header->next;
            if (!head_) tail_ = nullptr;
            header->next = nullptr;
            played_ = 0;
            MarkDone(header);
        }
    }
    std::memset(stream + filled, silence_, wanted - filled);
}

}  // namespace Lumaret
