// maker_table.cpp - publisher names of the two-character maker codes in cartridge headers.
//
// Searched in order; the first row with the code wins, so the later rows of a
// repeated code (0A, 52, 8C) are never reached. They are kept as the table has them.
#include "cartridge.h"

namespace {

struct MakerRow {
    char code[3];
    const char* name;
};

constexpr MakerRow MakerTable[] = {
    {"01", "Nintendo (1)"},
    {"08", "Capcom"},
    {"0A", "Jaleco"},
    {"0A", "Coconuts"},
    {"0H", "Starfish"},
    {"18", "Hudson Soft"},
    {"20", "Destination Software"},
    {"28", "Kemco Japan"},
    {"2L", "Tam"},
    {"2M", "Jorudan"},
    {"33", "Nintendo (2)"},
    {"41", "UBI Soft"},
    {"46", "70"},
    {"47", "Spectrum Holobyte"},
    {"4Z", "Crave Entertainment"},
    {"50", "Absolute Entertainment"},
    {"51", "Acclaim"},
    {"52", "Activision"},
    {"52", "American Sammy"},
    {"54", "Take 2 Interactive"},
    {"55", "Hi Tech Entertainment"},
    {"56", "LJN"},
    {"5A", "Mindscape"},
    {"5D", "Midway"},
    {"5G", "Majesco"},
    {"5Z", "Conspiracy Entertainment"},
    {"5H", "3DO"},
    {"5M", "Telegames"},
    {"5Q", "LEGO Media"},
    {"60", "Titus"},
    {"61", "Virgin Interactive"},
    {"67", "Ocean"},
    {"6F", "Electro Brain"},
    {"6L", "BAM! Entertainment"},
    {"6W", "SEGA (US)"},
    {"70", "Infogrames"},
    {"72", "JVC Musical Industries"},
    {"78", "THQ"},
    {"79", "Accolade"},
    {"7A", "Triffix Entertainment"},
    {"7D", "Universal Interactive Studios"},
    {"7F", "Kemco"},
    {"7G", "Rage Software"},
    {"83", "LOZC"},
    {"8C", "Bullet-Proof Software"},
    {"8C", "Vic Tokai"},
    {"8P", "SEGA (Japan)"},
    {"93", "BEC"},
    {"99", "Victor Interactive Software"},
    {"9C", "Imagineer"},
    {"9N", "Marvelous Entertainment"},
    {"A4", "Konami (1)"},
    {"A6", "Kawada"},
    {"A7", "Takara"},
    {"A9", "Technos Japan"},
    {"AA", "JVC"},
    {"AB", "Unlisted"},
    {"AF", "Namco"},
    {"AG", "Media Rings"},
    {"B1", "ASCII"},
    {"B4", "Enix"},
    {"B6", "HAL Laboratory"},
    {"BB", "Sunsoft"},
    {"BD", "Sony Imagesoft"},
    {"BF", "Sammy"},
    {"BL", "MTO"},
    {"BP", "Global A Entertainment"},
    {"C0", "Taito"},
    {"C2", "Kemco (?)"},
    {"C3", "Square"},
    {"C5", "Data East"},
    {"C6", "Tonkin House"},
    {"C8", "Koei"},
    {"CA", "Konami/Palcom/Ultra"},
    {"CB", "Vap"},
    {"CE", "FCI/Pony Canyon"},
    {"D1", "Sofel"},
    {"D2", "Quest"},
    {"D9", "Banpresto"},
    {"DA", "Tomy"},
    {"DD", "NCS"},
    {"DF", "Altron"},
    {"E1", "Towa Chiki"},
    {"E5", "Epoch"},
    {"E7", "Athena"},
    {"E8", "Asmik Ace Entertainment"},
    {"EA", "King Records"},
    {"EB", "Atlus"},
    {"EE", "IGS"},
    {"EL", "Spike"},
    {"EM", "Konami (2)"},
    {"EX", "Asmik (2)"},
};
static_assert(sizeof MakerTable / sizeof MakerTable[0] == 92);

}  // namespace

const char* MakerName(char first, char second) {
    for (const MakerRow& row : MakerTable)
        if (row.code[0] == first && row.code[1] == second) return row.name;
    return "Unknown";
}
