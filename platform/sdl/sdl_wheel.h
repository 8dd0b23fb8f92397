// Wheel scrolling in whole notches. A real wheel reports whole notches; fine
// wheels and touchpads report fractions of one. Fractions are added up and a
// wheel delta goes out per whole notch (120), the rest kept for later, so
// that a program dividing deltas by 120 sees precise scrolling as a wheel.
#pragma once

namespace plat {

class WheelNotches {
  public:
    // Adds a scroll of `notches` (positive: away from the user); returns the
    // wheel delta to report now, a multiple of 120, or 0 for nothing yet.
    int Add(float notches);
    // Forgets the part of a notch kept so far.
    void Clear() { m_units = 0; }

  private:
    int m_units = 0;  // scrolled but not yet reported, in 1/120 of a notch
};

}  // namespace plat
