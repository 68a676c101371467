// engine_plugins.cpp - finding the emulator plug-ins: every "*.so" in the
// "Emu" folder beside the program, loaded in name order, their emulators
// listed by name.
#include <algorithm>
#include <filesystem>

#include "engine/emulator.h"
#include "engine/emulator_order.h"
#include "engine/engine.h"
#include "lumaret/display.h"

namespace Emu {

namespace {

// The names of the "*.so" entries of `folder`, sorted.
std::vector<std::string> LibraryNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 3 && name.ends_with(".so")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

void Engine::LoadEmulators() {
    const CString folder = GetPath() + L"/Emu";
    const std::vector<std::string> names = LibraryNames(folder.ToUtf8());
    if (names.empty()) {
        Message(L"No emulator DLL files were found at the path: " + folder + L"/*.so");
        return;
    }
    // The Game Boy Advance plug-in draws 16-bit surfaces only.
    const int depth = display_ ? display_->GetBitDepth() : 0;
    for (const std::string& name : names) {
        const CString fileName = CString::FromUtf8(name);
        if (depth != 16 && fileName.CompareNoCase(L"Kestrine.so") == 0) continue;
        const CString path = folder + L"/" + fileName;
        Platform::ModuleHandle module = Platform::LoadModule(path.ToUtf8());
        if (!module) {
            PrintConsole(CString::FromUtf8(Platform::LastModuleError()) + L"\n");
            Message(L"Unable to load DLL:" + path);
            continue;
        }
        AddEmulatorFrom(module);
    }
    std::vector<CString> emulatorNames;
    for (auto& emulator : emulators_) emulatorNames.push_back(emulator->GetName());
    std::vector<std::unique_ptr<Emulator>> sorted;
    for (int index : NameOrder(emulatorNames)) sorted.push_back(std::move(emulators_[static_cast<size_t>(index)]));
    emulators_ = std::move(sorted);
}

void Engine::AddEmulatorFrom(Platform::ModuleHandle module) {
    if (auto registerResources =
            reinterpret_cast<RegisterResourcesFunction>(Platform::FindSymbol(module, "RegisterResources")))
        registerResources();
    auto newEmulator = reinterpret_cast<NewEmulatorFunction>(Platform::FindSymbol(module, "NewEmulator"));
    if (!newEmulator) {
        otherModules_.push_back(module);
        return;
    }
    std::unique_ptr<Emulator> emulator(newEmulator());
    if (!emulator) {
        Platform::FreeModule(module);
        return;
    }
    emulator->SetInstance(module);
    emulators_.push_back(std::move(emulator));
}

}  // namespace Emu
