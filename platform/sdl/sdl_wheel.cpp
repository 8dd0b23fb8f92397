// Wheel scrolling in whole notches: precise scrolling added up to notches.
#include "platform/sdl/sdl_wheel.h"

#include <cmath>

namespace plat {

int WheelNotches::Add(float notches) {
    const int kNotch = 120;
    long units = std::lround(notches * float(kNotch));
    if (units == 0) return 0;
    // Turning back starts afresh: a part-notch the other way is not owed.
    if ((units > 0 && m_units < 0) || (units < 0 && m_units > 0)) m_units = 0;
    m_units += int(units);
    int delta = m_units / kNotch * kNotch;  // toward zero: the remainder keeps its sign
    m_units -= delta;
    return delta;
}

}  // namespace plat
