// module.h - loading shared libraries (plug-ins, the runtime helper library)
// and finding their exported functions.
#pragma once

#include <string>

namespace Platform {

// A loaded library; null when loading failed.
struct LoadedModule;
using ModuleHandle = LoadedModule*;

// Loads the library at `path` (UTF-8) with every symbol resolved now and its
// symbols kept out of the process's global scope, so a library that exports
// C runtime names never replaces the C library's functions for others.
ModuleHandle LoadModule(const std::string& path);
// The exported symbol `name`, or null.
void* FindSymbol(ModuleHandle module, const char* name);
// Unloads the library; null is ignored.
void FreeModule(ModuleHandle module);
// Why the last LoadModule or FindSymbol failed.
std::string LastModuleError();

}  // namespace Platform
