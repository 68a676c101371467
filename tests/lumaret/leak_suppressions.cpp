// leak_suppressions.cpp - memory that the font, X client and D-Bus libraries keep
// until the process ends, which the leak checker of sanitized builds must not
// report as ours. The sanitizer runtime looks this list up by name, so it is
// exported.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libxcb\n"
           "leak:libX11\n"
           "leak:libdbus-1\n";
}
