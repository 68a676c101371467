// test_files.cpp - test paths, temporary directories and whole-file reads and writes.
#include "test_files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

std::string ProgramPath(const std::string& name) { return std::string(TAMBORIL_PROGRAMS_DIR) + "/" + name + ".gba"; }

namespace {

// Copies of the shared files live in one temporary folder per test process, so
// battery files that runs write beside a cartridge never land in the shared folder.
const TempDir& SharedCopies() {
    static const TempDir copies;
    return copies;
}

}  // namespace

std::string SharedRom(const std::string& relative) {
    std::string path = std::string(TAMBORIL_SHARED_ROMS) + "/" + relative;
    if (std::filesystem::exists(path)) {
        std::filesystem::path copy = SharedCopies().File(relative);
        std::filesystem::create_directories(copy.parent_path());
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(copy, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        return copy.string();
    }
    const char* require = std::getenv("TAMBORIL_REQUIRE_SHARED_ROMS");
    if (require && std::string(require) == "1") ADD_FAILURE() << "missing shared test file " << path;
    return "";
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tamboril-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

std::string CopyDemo(const TempDir& folder, const std::string& relative) {
    const std::filesystem::path copy = folder.File(relative);
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy_file(std::string(TAMBORIL_BIN_DIR) + "/demo.gba", copy,
                               std::filesystem::copy_options::overwrite_existing);
    return copy.string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
