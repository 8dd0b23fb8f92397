// Text from files, the environment or the command line made safe to echo on
// a terminal: control bytes become visible escapes.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Bytes below 0x20 and 0x7F become "\xNN" (so an escape sequence in a file
// cannot reach the terminal); everything else, UTF-8 included, is kept.
std::string PrintableText(std::string_view text);

}  // namespace plat
