// font.cpp - the logical-font record's byte layout and CFont.
#include "font.h"

#include "platform/record.h"

void StoreLogFont(const LOGFONTW& font, uint8_t* record) {
    const LONG numbers[] = {font.lfHeight, font.lfWidth, font.lfEscapement, font.lfOrientation, font.lfWeight};
    for (int i = 0; i < 5; ++i) StoreLe32(record + 4 * i, static_cast<uint32_t>(numbers[i]));
    const BYTE bytes[] = {font.lfItalic,       font.lfUnderline,     font.lfStrikeOut, font.lfCharSet,
                          font.lfOutPrecision, font.lfClipPrecision, font.lfQuality,   font.lfPitchAndFamily};
    for (int i = 0; i < 8; ++i) record[20 + i] = bytes[i];
    for (int i = 0; i < 32; ++i) StoreLe16(record + 28 + 2 * i, font.lfFaceName[i]);
}

LOGFONTW LoadLogFont(const uint8_t* record) {
    LOGFONTW font;
    LONG* numbers[] = {&font.lfHeight, &font.lfWidth, &font.lfEscapement, &font.lfOrientation, &font.lfWeight};
    for (int i = 0; i < 5; ++i) *numbers[i] = LoadLeSigned32(record + 4 * i);
    BYTE* bytes[] = {&font.lfItalic,       &font.lfUnderline,     &font.lfStrikeOut, &font.lfCharSet,
                     &font.lfOutPrecision, &font.lfClipPrecision, &font.lfQuality,   &font.lfPitchAndFamily};
    for (int i = 0; i < 8; ++i) *bytes[i] = record[20 + i];
    for (int i = 0; i < 32; ++i) font.lfFaceName[i] = LoadLe16(record + 28 + 2 * i);
    return font;
}

bool CFont::CreateFontIndirect(const LOGFONTW* font) {
    if (!font) return false;
    record_ = *font;
    return true;
}

int CFont::GetLogFont(LOGFONTW* font) const {
    if (!record_ || !font) return 0;
    *font = *record_;
    return static_cast<int>(LogFontRecordSize);
}
