// options.cpp - parses and checks the runner's command line.
#include "options.h"

namespace {

// An option with a decimal value in a range.
struct CountOption {
    const char* name;
    uint64_t Options::*value;
    uint64_t low, high;
    const char* what;
};
constexpr CountOption CountOptions[] = {
    {"--frames", &Options::frames, 0, Headless::FrameLimit, "a frame count"},
    {"--frameskip", &Options::frameSkip, 1, Headless::FrameLimit, "a frame count"},
    {"--rate", &Options::rate, 1000, 192000, "a sample rate in Hz"},
};

// An option naming a file.
struct FileOption {
    const char* name;
    std::string Options::*value;
};
constexpr FileOption FileOptions[] = {{"--audio", &Options::audio},
                                      {"--screenshot", &Options::screenshot},
                                      {"--load-state", &Options::loadState},
                                      {"--save-state", &Options::saveState}};

struct FlagOption {
    const char* name;
    bool Options::*value;
};
constexpr FlagOption FlagOptions[] = {
    {"--regs", &Options::regs}, {"--bench", &Options::bench}, {"--console", &Options::console}};

template <typename Table>
const auto* Find(const Table& table, const std::string& name) {
    for (const auto& option : table)
        if (name == option.name) return &option;
    return static_cast<decltype(&table[0])>(nullptr);
}

bool LooksLikeOption(const std::string& text) { return text.size() > 1 && text[0] == '-'; }

}  // namespace

std::string ParseOptions(int argc, const char* const* argv, Options& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || !LooksLikeOption(arg)) {
            if (!options.cartridge.empty()) return "only one cartridge can be run";
            options.cartridge = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (const FlagOption* flag = Find(FlagOptions, arg)) {
            options.*flag->value = true;
            continue;
        }
        const CountOption* count = Find(CountOptions, arg);
        const FileOption* file = Find(FileOptions, arg);
        if (!count && !file && arg != "--keys") return "unknown option " + arg;
        std::string needs = arg + " needs ";
        if (count)
            needs +=
                std::string(count->what) + " from " + std::to_string(count->low) + " to " + std::to_string(count->high);
        else
            needs += file ? "a file name" : "a key script";
        if (i + 1 >= argc || !*argv[i + 1]) return needs;
        const std::string value = argv[++i];
        if (count) {
            uint64_t number = 0;
            if (!Headless::ParseDecimal(value, count->high, number) || number < count->low)
                return needs + ", not " + value;
            options.*count->value = number;
        } else if (LooksLikeOption(value)) {
            return needs + ", not the option " + value;
        } else if (file) {
            options.*file->value = value;
        } else {
            std::string error;
            if (!options.keys.Parse(value, error)) return "bad key script for --keys: " + error;
            options.hasKeys = true;
        }
    }
    if (options.cartridge.empty()) return "no cartridge given";
    return "";
}
