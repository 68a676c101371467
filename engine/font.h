// font.h - the logical-font record (92 bytes, 16-bit characters) that the
// settings store keeps for a font, and CFont, a font made from one.
#pragma once

#include <cstdint>
#include <optional>

#include "marrowby_api.h"
#include "platform/handheld_types.h"

struct LOGFONTW {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char16_t lfFaceName[32] = {};
    bool operator==(const LOGFONTW&) const = default;
};

static_assert(sizeof(LOGFONTW) == 92, "the handheld's record: 16-bit characters, no padding");

// Size of the stored record: five 32-bit fields, eight bytes, 32 characters.
inline constexpr size_t LogFontRecordSize = 92;

// The stored record, little-endian, field by field.
MARROWBY_API void StoreLogFont(const LOGFONTW& font, uint8_t* record);
MARROWBY_API LOGFONTW LoadLogFont(const uint8_t* record);

class MARROWBY_API CFont {
public:
    // Makes this the font the record describes (replacing any earlier one).
    bool CreateFontIndirect(const LOGFONTW* font);
    // Copies the record into `font`; returns its size, or 0 when no font was
    // created.
    int GetLogFont(LOGFONTW* font) const;

private:
    std::optional<LOGFONTW> record_;
};
