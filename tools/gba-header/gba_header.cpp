// gba_header.cpp - writes a valid cartridge header into a raw program image.
//
// Usage: gba-header IN OUT [--title TEXT] [--code GAME] [--maker XX] [--version N]
// Fills the title (12 bytes), game code (4), maker code (2), the fixed byte
// 0x96, unit and device codes, the version and the complement byte over
// 0xA0..0xBC, leaving the program's own bytes elsewhere untouched.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr size_t HeaderEnd = 0xC0;

void PutText(std::vector<unsigned char>& image, size_t offset, const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i) image[offset + i] = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

int Usage() {
    std::fprintf(stderr, "usage: gba-header IN OUT [--title TEXT] [--code GAME] [--maker XX] [--version N]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string title = "TAMBORIL", code = "TTMB", maker = "00";
    int version = 0;
    for (int i = 3; i + 1 < argc; i += 2) {
        std::string option = argv[i], value = argv[i + 1];
        if (option == "--title") title = value;
        else if (option == "--code") code = value;
        else if (option == "--maker") maker = value;
        else if (option == "--version") version = std::atoi(value.c_str());
        else return Usage();
    }
    if ((argc - 3) % 2) return Usage();
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "gba-header: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<unsigned char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (image.size() < HeaderEnd) image.resize(HeaderEnd, 0);
    PutText(image, 0xA0, title, 12);
    PutText(image, 0xAC, code, 4);
    PutText(image, 0xB0, maker, 2);
    image[0xB2] = 0x96;
    image[0xB3] = 0;
    image[0xB4] = 0;
    std::memset(&image[0xB5], 0, 7);
    image[0xBC] = static_cast<unsigned char>(version);
    unsigned sum = 0;
    for (size_t i = 0xA0; i <= 0xBC; ++i) sum += image[i];
    image[0xBD] = static_cast<unsigned char>(0xE7 - sum);
    image[0xBE] = image[0xBF] = 0;
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!out) {
        std::fprintf(stderr, "gba-header: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
