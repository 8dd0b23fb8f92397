// Text from files, the environment or the command line made safe to echo on
// a terminal: control bytes become visible escapes.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// C0 controls (below 0x20) and DEL, C1 controls (U+0080..U+009F, which a
// terminal may read as CSI, OSC and the like) and every byte that is not part
// of well-formed UTF-8 become "\xNN", one escape per byte, so that no escape
// sequence in outside text reaches the terminal; other text, UTF-8 included,
// is kept.
std::string PrintableText(std::string_view text);

// The same, except that line feeds are kept: for output whose writers end
// their own lines (the debug output).
std::string PrintableLines(std::string_view text);

}  // namespace plat
