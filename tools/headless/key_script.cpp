// key_script.cpp - parses key scripts and answers which keys are held at a frame.
#include "key_script.h"

#include <sstream>

namespace Headless {
namespace {

struct KeyName {
    const char* name;
    uint32_t bit;
};
constexpr KeyName KeyNames[] = {{"A", 0x001},    {"B", 0x002},  {"Select", 0x004}, {"Start", 0x008}, {"Right", 0x010},
                                {"Left", 0x020}, {"Up", 0x040}, {"Down", 0x080},   {"R", 0x100},     {"L", 0x200}};

bool ParseKeys(const std::string& text, uint32_t& keys, std::string& error) {
    keys = 0;
    if (text == "-") return true;
    std::stringstream parts(text);
    std::string name;
    while (std::getline(parts, name, '+')) {
        bool known = false;
        for (const KeyName& k : KeyNames)
            if (name == k.name) {
                keys |= k.bit;
                known = true;
            }
        if (!known) {
            error = "unknown key \"" + name + "\"";
            return false;
        }
    }
    if (text.empty() || text.back() == '+') {
        error = "empty key name in \"" + text + "\"";
        return false;
    }
    return true;
}

}  // namespace

bool ParseDecimal(const std::string& text, uint64_t high, uint64_t& value) {
    if (text.empty() || text.size() > 19) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > high) return false;
    value = v;
    return true;
}

bool KeyScript::Parse(const std::string& text, std::string& error) {
    items_.clear();
    std::stringstream entries(text);
    std::string entry;
    while (std::getline(entries, entry, ',')) {
        size_t colon = entry.find(':');
        if (colon == std::string::npos || colon == 0) {
            error = "item \"" + entry + "\" is not FRAME:KEYS";
            return false;
        }
        std::string frameText = entry.substr(0, colon);
        uint64_t frame = 0;
        if (!ParseDecimal(frameText, FrameLimit, frame)) {
            error = "bad frame number \"" + frameText + "\" (0 to " + std::to_string(FrameLimit) + ")";
            return false;
        }
        if (!items_.empty() && frame <= items_.back().frame) {
            error = "frames must increase (" + frameText + ")";
            return false;
        }
        uint32_t keys = 0;
        if (!ParseKeys(entry.substr(colon + 1), keys, error)) return false;
        items_.push_back({frame, keys});
    }
    if (items_.empty() || text.back() == ',') {
        error = "empty key script item";
        return false;
    }
    return true;
}

uint32_t KeyScript::KeysAt(uint64_t frame) const {
    uint32_t keys = 0;
    for (const Item& item : items_) {
        if (item.frame > frame) break;
        keys = item.keys;
    }
    return keys;
}

}  // namespace Headless
