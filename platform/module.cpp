// module.cpp - module loading on dlopen, dlsym and dlclose.
#include "module.h"

#include <dlfcn.h>

namespace Platform {

ModuleHandle LoadModule(const std::string& path) {
    return static_cast<ModuleHandle>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

void* FindSymbol(ModuleHandle module, const char* name) { return module ? dlsym(module, name) : nullptr; }

void FreeModule(ModuleHandle module) {
    if (module) dlclose(module);
}

std::string LastModuleError() {
    const char* error = dlerror();
    return error ? error : "";
}

}  // namespace Platform
