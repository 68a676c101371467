// setting_ranges.h - the values the settings pages offer for the numeric
// settings. Values read from the registry are kept inside them before use, so
// a hand-edited file cannot divide by zero, overflow or stall the program.
#pragma once

#include <algorithm>

namespace Emu {

struct SettingRange {
    int low;
    int high;
    int Clamp(int value) const { return std::clamp(value, low, high); }
};

inline constexpr SettingRange kScreenScaleRange{0, 10};
inline constexpr SettingRange kSoundBuffersRange{2, 40};
inline constexpr SettingRange kVolumeRange{0, 100};
inline constexpr SettingRange kSoundRateRange{8000, 44100};
inline constexpr SettingRange kFrameSkipRange{1, 10};
inline constexpr SettingRange kFrameSpeedRange{0, 10};

// A key binding: a virtual-key code 1..255, or 0 for no key.
inline constexpr int KeepKeyCode(int code) { return code >= 1 && code <= 255 ? code : 0; }

}  // namespace Emu
