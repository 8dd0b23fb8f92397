// CKitClock: the framework's one clock, on the performance counter. It can be
// halted and resumed; application time excludes the halted stretches. Without
// a counter every reading is -1.0 and the controls do nothing.
#pragma once

#include "platform/win32.h"

class CKitClock {
  public:
    CKitClock();

    void Rewind();  // time 0 is now; running
    void Resume();  // continues, leaving out the halted stretch
    void Halt();    // freezes every reading at now

    double AbsoluteSeconds();  // counter time
    double AppSeconds();       // time since the last rewind, halts left out
    double ElapsedSeconds();   // time since the last elapsed reading (0 while halted)
    bool IsHalted() const { return m_bHalted; }

  private:
    LONGLONG Now();  // the halt count while halted, else the counter

    bool m_bHaveCounter;    // false disables the clock
    bool m_bHalted = true;  // stopped
    LONGLONG m_llCounterRate = 0;
    LONGLONG m_llHaltCount = 0;      // counter when stopped; 0 while running
    LONGLONG m_llLastReadCount = 0;  // counter of the last elapsed reading
    LONGLONG m_llZeroCount = 0;      // counter that counts as time 0
};

// The process-wide clock.
CKitClock* KitClock();
