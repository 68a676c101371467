// file_fuzz.cpp - mutates machine states, battery files and cartridge images,
// loads and runs them, and checks what must hold for any file. Built with the
// sanitizers (build-sanitize), where undefined behaviour or a bad memory
// access ends the run; bench/fuzz-files runs it in batches and sums up.
//
// Usage: file-fuzz CARTRIDGE CASES SEED
//
// CARTRIDGE is a cartridge that uses battery-backed SRAM (the demo). Every
// case is one of:
//   state     - a state of the cartridge, mutated as a stream and compressed
//               again (so that it gets past the gzip check) or mutated as
//               compressed bytes; loaded, and run for two frames if accepted.
//               A refused state must leave SRAM and the EEPROM data as they were.
//   battery   - a battery file of a random size and content; the cartridge
//               starts with it, runs and stops. A file of a size other than
//               512, 65536 or 66048 bytes must survive, byte for byte, in
//               the file itself or in "NAME.sav.bak".
//   cartridge - the image mutated as plain bytes (its header complement
//               mended in half the cases, so that it runs) or as gzip bytes;
//               started and run for three frames. Mutated gzip bytes that
//               load must hold exactly the original image.
// Prints one line per violated rule and a summary line; exits 1 when a rule
// was violated.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "headless.h"
#include "machine/battery_file.h"
#include "machine/cartridge.h"
#include "machine/eeprom.h"
#include "machine/memory.h"
#include "machine/save_state.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::mt19937 Random;
int Violations = 0;

uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(Random() % n) : 0; }

Bytes ReadFile(const std::string& path) {
    Bytes bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        uint8_t chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(file);
    }
    return bytes;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

Bytes Compress(const Bytes& plain) {
    uLongf size = compressBound(static_cast<uLong>(plain.size())) + 32;
    Bytes out(size);
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    z.next_in = const_cast<uint8_t*>(plain.data());
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Bytes Decompress(const std::string& path) {
    Bytes out;
    gzFile file = gzopen(path.c_str(), "rb");
    uint8_t chunk[65536];
    for (int n; (n = gzread(file, chunk, sizeof chunk)) > 0;) out.insert(out.end(), chunk, chunk + n);
    gzclose(file);
    return out;
}

// One to eight edits: flipped bits, interesting or random bytes, a cut, bytes
// appended, a run overwritten with one value.
void Mutate(Bytes& bytes) {
    for (int edits = 1 + static_cast<int>(Below(8)); edits > 0; --edits) {
        uint32_t at = Below(static_cast<uint32_t>(bytes.size()));
        switch (Below(7)) {
        case 0:
            if (!bytes.empty()) bytes[at] ^= static_cast<uint8_t>(1u << Below(8));
            break;
        case 1: {
            static constexpr uint8_t Interesting[] = {0, 1, 0x7F, 0x80, 0xFF, 0x10, 0x40};
            if (!bytes.empty()) bytes[at] = Interesting[Below(sizeof Interesting)];
            break;
        }
        case 2:
            if (!bytes.empty()) bytes[at] = static_cast<uint8_t>(Random());
            break;
        case 3: bytes.resize(at); break;
        case 4:
            for (uint32_t n = 1 + Below(64); n > 0; --n) bytes.push_back(static_cast<uint8_t>(Random()));
            break;
        case 5: {
            uint32_t length = std::min<uint32_t>(1 + Below(256), static_cast<uint32_t>(bytes.size()) - at);
            std::memset(bytes.data() + at, Below(2) ? 0xFF : 0, length);
            break;
        }
        default:
            // A 32-bit field set to a value at an edge.
            if (at + 4 <= bytes.size()) {
                static constexpr uint32_t Edges[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x40000000u, 961};
                uint32_t v = Edges[Below(sizeof Edges / sizeof Edges[0])];
                for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
            }
        }
    }
}

void Violation(const char* kind, int number, const std::string& what) {
    std::printf("VIOLATION %s case %d: %s\n", kind, number, what.c_str());
    ++Violations;
}

struct Fuzzer {
    std::string folder;
    std::string image;  // the cartridge, plain
    Bytes imageBytes;
    Bytes stream;  // a state of the cartridge after a few frames, uncompressed
    int stateLoaded = 0, stateRefused = 0;
    int cartridgeLoaded = 0, cartridgeRefused = 0;

    std::string Path(const std::string& name) const { return folder + "/" + name; }

    void Clean() {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path() != image) std::filesystem::remove_all(entry.path());
    }

    void Boot(const std::string& path) {
        Headless::StopMachine();
        if (!Headless::StartMachine(path)) {
            std::printf("cannot start %s: %s\n", path.c_str(), LoadFailure.c_str());
            std::exit(2);
        }
    }

    void StateCase(int number) {
        Clean();
        Boot(image);
        Headless::RunFrames(1 + static_cast<int>(Below(3)));
        for (uint32_t i = 0; i < 64; ++i) SaveRam()[Below(SaveRamSize)] = static_cast<uint8_t>(Random());
        EepromChip.data[Below(EepromDataBytes)] = static_cast<uint8_t>(Random());
        Bytes file;
        if (Below(4)) {
            Bytes plain = stream;
            Mutate(plain);
            file = Below(8) ? Compress(plain) : plain;
        } else {
            file = Compress(stream);
            Mutate(file);
        }
        WriteFile(Path("case.sta"), file);
        Bytes sram(SaveRam(), SaveRam() + SaveRamSize);
        Bytes eeprom(EepromChip.data, EepromChip.data + EepromDataBytes);
        if (Headless::LoadState(Path("case.sta"))) {
            ++stateLoaded;
            Headless::RunFrames(2);
        } else {
            ++stateRefused;
            if (StateLoadFailure.empty()) Violation("state", number, "refused without a reason");
            if (!std::equal(sram.begin(), sram.end(), SaveRam()) ||
                !std::equal(eeprom.begin(), eeprom.end(), EepromChip.data))
                Violation("state", number, "a refused state changed the backup memory (" + StateLoadFailure + ")");
        }
        std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);  // no battery file to clean up
        std::fill(EepromChip.data, EepromChip.data + EepromDataBytes, 0);
        Headless::StopMachine();
    }

    void BatteryCase(int number) {
        Clean();
        static constexpr uint32_t Sizes[] = {0,     1,     100,   511,   512,   513,    65535,
                                             65536, 65537, 66047, 66048, 66049, 131072, 0};
        uint32_t size = Sizes[Below(sizeof Sizes / sizeof Sizes[0])];
        if (size == 0 && Below(2)) size = Below(200000);
        Bytes battery(size);
        for (uint8_t& b : battery) b = Below(4) ? static_cast<uint8_t>(Random()) : 0;
        std::string save = ReplaceExtension(image, ".sav");
        WriteFile(save, battery);
        Boot(image);
        Headless::RunFrames(1 + static_cast<int>(Below(3)));
        if (!Headless::StopMachine()) Violation("battery", number, "write failed: " + SaveFileFailure);
        bool ownSize = size == 512 || size == 65536 || size == 66048;
        if (!ownSize && ReadFile(save) != battery && ReadFile(save + ".bak") != battery)
            Violation("battery", number, "a file of " + std::to_string(size) + " bytes was lost");
        size_t written = std::filesystem::file_size(save);
        if (written != 512 && written != 65536 && written != 66048 && ReadFile(save) != battery)
            Violation("battery", number, "wrote a file of " + std::to_string(written) + " bytes");
    }

    void CartridgeCase(int number) {
        Clean();
        Bytes bytes = imageBytes;
        bool packedDamage = Below(3) == 0;
        if (packedDamage) {
            bytes = Compress(bytes);
            Mutate(bytes);
        } else {
            Mutate(bytes);
            if (bytes.size() > 0xBD && Below(2)) {
                uint32_t sum = 0;
                for (size_t i = 0xA0; i <= 0xBC; ++i) sum += bytes[i];
                bytes[0xBD] = static_cast<uint8_t>(0xE7 - sum);
            }
            if (Below(3) == 0) bytes = Compress(bytes);
        }
        std::string path = Path("case.gba");
        WriteFile(path, bytes);
        Headless::StopMachine();
        if (!Headless::StartMachine(path)) {
            ++cartridgeRefused;
            if (LoadFailure.empty()) Violation("cartridge", number, "refused without a reason");
            return;
        }
        ++cartridgeLoaded;
        if (packedDamage && !std::equal(imageBytes.begin(), imageBytes.end(), CartridgeRom()))
            Violation("cartridge", number, "damaged gzip data loaded as another image");
        Headless::RunFrames(3);
        std::fill(SaveRam(), SaveRam() + SaveRamSize, 0);
        std::fill(EepromChip.data, EepromChip.data + EepromDataBytes, 0);
        Headless::StopMachine();
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: file-fuzz CARTRIDGE CASES SEED\n");
        return 2;
    }
    const int cases = std::atoi(argv[2]);
    Random.seed(static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)));
    char pattern[] = "/tmp/tamboril-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) return 2;
    Fuzzer fuzzer;
    fuzzer.folder = pattern;
    fuzzer.image = fuzzer.Path("game.gba");
    fuzzer.imageBytes = ReadFile(argv[1]);
    WriteFile(fuzzer.image, fuzzer.imageBytes);
    fuzzer.Boot(fuzzer.image);
    Headless::RunFrames(30);
    if (!SaveMachineState(fuzzer.Path("seed.sta").c_str())) return 2;
    fuzzer.stream = Decompress(fuzzer.Path("seed.sta"));

    const char* kinds[3] = {"state", "battery", "cartridge"};
    int perKind[3] = {0, 0, 0};
    for (int number = 0; number < cases; ++number) {
        int kind = static_cast<int>(Below(3));
        ++perKind[kind];
        if (kind == 0) fuzzer.StateCase(number);
        if (kind == 1) fuzzer.BatteryCase(number);
        if (kind == 2) fuzzer.CartridgeCase(number);
    }
    Headless::StopMachine();
    std::filesystem::remove_all(fuzzer.folder);
    std::printf(
        "cases=%d %s=%d %s=%d %s=%d state_loaded=%d state_refused=%d cartridge_loaded=%d "
        "cartridge_refused=%d violations=%d\n",
        cases, kinds[0], perKind[0], kinds[1], perKind[1], kinds[2], perKind[2], fuzzer.stateLoaded,
        fuzzer.stateRefused, fuzzer.cartridgeLoaded, fuzzer.cartridgeRefused, Violations);
    return Violations ? 1 : 0;
}
