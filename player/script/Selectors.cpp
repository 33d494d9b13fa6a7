// The selector rule.
#include "player/script/Selectors.h"

namespace player::script {

int SelectorIndex(std::string_view text, std::string_view prefix) {
    if (text.size() != prefix.size() + 1 || text.substr(0, prefix.size()) != prefix)
        return 0;
    const char digit = text.back();
    return digit >= '1' && digit <= '6' ? digit - '0' : 0;
}

} // namespace player::script
