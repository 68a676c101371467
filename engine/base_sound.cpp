// base_sound.cpp - the ring of wave-out buffers: opening the device with
// silence queued, refilling what it has played, and releasing it all.
#include "engine/base_sound.h"

#include <cstring>

#include "engine/emulator.h"
#include "engine/engine.h"
#include "engine/setting_ranges.h"

namespace Emu {

namespace {

const char* OpenErrorName(uint32_t code) {
    switch (code) {
    case Lumaret::kWaveBadDeviceId: return "BADDEVICEID";
    case Lumaret::kWaveNoDriver: return "NODRIVER";
    case Lumaret::kWaveNoMemory: return "NOMEM";
    case Lumaret::kWaveBadFormat: return "BADFORMAT";
    case 35: return "SYNC";
    default: return "UNKNOWN";
    }
}

// The name of a write error that closes the sound, or null for one that is ignored.
const char* WriteErrorName(uint32_t code) {
    switch (code) {
    case Lumaret::kWaveInvalidHandle: return "INVALHANDLE";
    case Lumaret::kWaveNoDriver: return "NODRIVER";
    case Lumaret::kWaveNoMemory: return "NOMEM";
    case Lumaret::kWaveUnprepared: return "UNPREPARED";
    default: return nullptr;
    }
}

bool EngineSound() { return ourEngine && ourEngine->GetSettings().getBoolean(L"Sound"); }
int EngineBuffers() {
    return kSoundBuffersRange.Clamp(ourEngine ? ourEngine->GetSettings().getInt(L"SoundBuffers") : 16);
}

}  // namespace

BaseSound::BaseSound(Emulator* emulator) : emulator_(emulator) {}

BaseSound::~BaseSound() { Release(); }

int BaseSound::BlockSizeFor(int rate) {
    rate = kSoundRateRange.Clamp(rate);
    const int size = 512 / (44100 / rate);
    return size < 128 ? 128 : size;
}

void BaseSound::Open(int rate) {
    if (IsOpen()) return;
    if (rate <= 0 || channelCount_ <= 0) {
        rate_ = 0;
        return;
    }
    rate = kSoundRateRange.Clamp(rate);
    bufferCount_ = EngineBuffers();
    channelEnabled_ = std::make_unique<bool[]>(static_cast<size_t>(channelCount_));
    headers_ = std::make_unique<Lumaret::WaveHeader[]>(static_cast<size_t>(bufferCount_));
    queue_.clear();
    queue_.reserve(static_cast<size_t>(bufferCount_));
    ReadChannelSettings();
    blockSize_ = BlockSizeFor(rate);
    const Lumaret::WaveFormat format{Lumaret::kWaveFormatPcm,     1, static_cast<uint32_t>(rate),
                                     static_cast<uint32_t>(rate), 1, 8};
    if (const uint32_t result = Lumaret::WaveOut::Open(format, &device_); result != Lumaret::kWaveOk) {
        ConsolePrintf("Error opening waveOut: %s\n", OpenErrorName(result));
        Release();
        return;
    }
    buffers_.clear();
    for (int i = 0; i < bufferCount_; ++i) {
        Lumaret::WaveHeader& header = headers_[static_cast<size_t>(i)];
        buffers_.push_back(std::make_unique<uint8_t[]>(static_cast<size_t>(blockSize_)));
        std::memset(buffers_.back().get(), 0x80, static_cast<size_t>(blockSize_));
        header.data = buffers_.back().get();
        header.bufferLength = static_cast<uint32_t>(blockSize_);
        header.flags = 0;
        if (device_->PrepareHeader(&header) == Lumaret::kWaveOk) device_->Write(&header);
    }
    rate_ = rate;
}

void BaseSound::ReadChannelSettings() {
    if (!emulator_) return;
    PropertyMap& settings = emulator_->GetSettings();
    enabledCount_ = 0;
    for (int i = 0; i < channelCount_; ++i) {
        CString key;
        key.Format(L"SoundChannel%d", i);
        channelEnabled_[static_cast<size_t>(i)] = settings.getBoolean(key);
        if (channelEnabled_[static_cast<size_t>(i)]) ++enabledCount_;
    }
    noise_ = settings.getBoolean(L"Noise");
    volume_ = kVolumeRange.Clamp(ourEngine ? ourEngine->GetSettings().getInt(L"Volume") : 70);
}

void BaseSound::Close() { Release(); }

void BaseSound::Release() {
    if (device_) {
        device_->Reset();
        for (int i = 0; i < bufferCount_ && headers_; ++i) {
            Lumaret::WaveHeader& header = headers_[static_cast<size_t>(i)];
            if (header.flags != 0) device_->UnprepareHeader(&header);
            header.flags = 0;
        }
        device_->Close();
        device_.reset();
    }
    buffers_.clear();
    headers_.reset();
    queue_.clear();
    channelEnabled_.reset();
    rate_ = 0;
}

bool BaseSound::IsOpen() { return rate_ != 0; }

void BaseSound::Pause() {
    if (IsOpen()) device_->Reset();
}

void BaseSound::Resume() {
    if (!IsOpen()) return;
    device_->Reset();
    Trigger(false);
}

void BaseSound::Trigger(bool fill) {
    if (!IsOpen()) return;
    queue_.clear();
    for (int i = 0; i < bufferCount_; ++i) {
        Lumaret::WaveHeader& header = headers_[static_cast<size_t>(i)];
        if (header.flags & Lumaret::kWaveHeaderDone) {
            device_->UnprepareHeader(&header);
            header.flags = 0;
        }
        if (header.flags != 0) continue;  // the device still holds it
        if (fill)
            FillBuffer(header.data);
        else
            std::memset(header.data, 0x80, static_cast<size_t>(blockSize_));
        // A buffer that cannot be prepared stays with the ring and is freed by Close.
        if (device_->PrepareHeader(&header) != Lumaret::kWaveOk) break;
        queue_.push_back(&header);
    }
    for (Lumaret::WaveHeader* header : queue_) {
        if (const char* name = WriteErrorName(device_->Write(header))) {
            ConsolePrintf("Error writing wave out: %s\n", name);
            Release();
            return;
        }
    }
}

void BaseSound::UpdateSettings() {
    if (IsOpen()) ReadChannelSettings();
    if (!ourEngine || !ourEngine->IsRunning() || !emulator_) return;
    PropertyMap& settings = emulator_->GetSettings();
    const bool want = EngineSound() && settings.getBoolean(L"Sound");
    const int rate = kSoundRateRange.Clamp(settings.getInt(L"SoundRate"));
    if (rate_ == rate && bufferCount_ == EngineBuffers() && IsOpen() == want) return;
    Close();
    if (want) Open(rate);
}

}  // namespace Emu
