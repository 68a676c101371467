// no_entry_plugin.cpp - a test plug-in library without "NewEmulator".
extern "C" __attribute__((visibility("default"))) int TestPluginWithoutEntry() { return 1; }
