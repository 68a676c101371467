// runtime_link.cpp - finds libquintrel.so and resolves its rewind privately.
#include "runtime_link.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

namespace {

constexpr const char* LibraryName = "libquintrel.so";

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "";
    std::string path(buffer, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

RuntimeRewindFunction Resolve() {
    std::string candidates[] = {ExecutableFolder() + "/" + LibraryName,
#ifdef TAMBORIL_QUINTREL_PATH
                                TAMBORIL_QUINTREL_PATH,
#endif
                                LibraryName};
    for (const std::string& path : candidates) {
        // RTLD_LOCAL keeps the library's symbols out of the process's global
        // scope; it is never closed, so the function stays valid.
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) continue;
        if (void* symbol = dlsym(handle, "rewind")) return reinterpret_cast<RuntimeRewindFunction>(symbol);
        dlclose(handle);
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
