// emulator_order.cpp - the selection that orders the emulators by name.
#include "engine/emulator_order.h"

namespace Emu {

std::vector<int> NameOrder(const std::vector<CString>& names) {
    std::vector<int> remaining;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) remaining.push_back(i);
    std::vector<int> order;
    while (!remaining.empty()) {
        // The first name smaller than every earlier candidate, starting from a
        // bound above every ordinary name; the first remaining one otherwise.
        CString bound = L"ZZZZZZ";
        size_t pick = 0;
        for (size_t i = 0; i < remaining.size(); ++i) {
            const CString& name = names[static_cast<size_t>(remaining[i])];
            if (name.CompareNoCase(bound) < 0) {
                bound = name;
                pick = i;
            }
        }
        order.push_back(remaining[pick]);
        remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(pick));
    }
    return order;
}

}  // namespace Emu
