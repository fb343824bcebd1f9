#pragma once

#include <string>
#include <string_view>

namespace krl {

// Names (fields, controls, ProgIDs, columns) compare without regard to case, as the runtime does;
// only ASCII letters fold, which is all such names hold.
bool sameText(std::string_view a, std::string_view b);
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);

}  // namespace krl
