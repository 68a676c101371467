// runtime_link.cpp - finds libquintrel.so and resolves its rewind privately.
#include "runtime_link.h"

#include <string>

#include "module.h"
#include "paths.h"

namespace {

constexpr const char* LibraryName = "libquintrel.so";

RuntimeRewindFunction Resolve() {
    std::string candidates[] = {Platform::ExecutableFolder() + "/" + LibraryName,
#ifdef TAMBORIL_QUINTREL_PATH
                                TAMBORIL_QUINTREL_PATH,
#endif
                                LibraryName};
    for (const std::string& path : candidates) {
        // The module loader keeps the library's symbols out of the process's
        // global scope; the library is never unloaded, so the function stays
        // valid.
        Platform::ModuleHandle module = Platform::LoadModule(path);
        if (!module) continue;
        if (void* symbol = Platform::FindSymbol(module, "rewind"))
            return reinterpret_cast<RuntimeRewindFunction>(symbol);
        Platform::FreeModule(module);
    }
    return nullptr;
}

}  // namespace

RuntimeRewindFunction RuntimeRewind() {
    static const RuntimeRewindFunction function = Resolve();
    return function;
}

int RewindFile(FILE* file, RuntimeRewindFunction rewind) {
    return rewind ? rewind(file) : std::fseek(file, 0, SEEK_SET);
}
