// runtime_link.h - the machine's one call into the runtime helper library
// (libquintrel.so): the rewind of the battery file reader.
//
// The library exports C runtime names (calloc, time, rewind, ...) with its own
// behaviour, so it is never linked into a program, where it would replace the C
// library's functions for the whole process. It is opened privately with
// dlopen and its rewind is taken with dlsym.
#pragma once

#include <cstdio>

using RuntimeRewindFunction = int (*)(FILE*);

// The library's rewind, or null when the library cannot be loaded. Looked up
// once: beside the running executable first, then where the build put it.
RuntimeRewindFunction RuntimeRewind();

// Rewinds a C runtime file with the library's rewind (RuntimeRewind()); when
// the library could not be loaded (null), seeks to the start directly, which
// is what the library's rewind does. Returns 0 on success.
int RewindFile(FILE* file, RuntimeRewindFunction rewind);
