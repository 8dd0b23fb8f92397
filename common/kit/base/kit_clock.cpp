// The framework clock: halt/resume arithmetic over the performance counter.
#include "common/kit/base/kit_clock.h"

CKitClock::CKitClock() {
    LARGE_INTEGER freq;
    freq.QuadPart = 0;
    m_bHaveCounter = QueryPerformanceFrequency(&freq) != FALSE && freq.QuadPart > 0;
    m_llCounterRate = freq.QuadPart;
}

LONGLONG CKitClock::Now() {
    if (m_llHaltCount != 0) return m_llHaltCount;
    LARGE_INTEGER counter;
    counter.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

void CKitClock::Rewind() {
    if (!m_bHaveCounter) return;
    LONGLONG now = Now();
    m_llZeroCount = now;
    m_llLastReadCount = now;
    m_llHaltCount = 0;
    m_bHalted = false;
}

void CKitClock::Resume() {
    if (!m_bHaveCounter) return;
    LARGE_INTEGER counter;
    counter.QuadPart = 0;
    QueryPerformanceCounter(&counter);
    if (m_bHalted) m_llZeroCount += counter.QuadPart - m_llHaltCount;
    m_llHaltCount = 0;
    m_llLastReadCount = counter.QuadPart;
    m_bHalted = false;
}

void CKitClock::Halt() {
    if (!m_bHaveCounter || m_bHalted) return;
    LONGLONG now = Now();
    m_llHaltCount = now;
    m_llLastReadCount = now;
    m_bHalted = true;
}

double CKitClock::AbsoluteSeconds() {
    if (!m_bHaveCounter) return -1.0;
    return static_cast<double>(Now()) / static_cast<double>(m_llCounterRate);
}

double CKitClock::AppSeconds() {
    if (!m_bHaveCounter) return -1.0;
    return static_cast<double>(Now() - m_llZeroCount) / static_cast<double>(m_llCounterRate);
}

double CKitClock::ElapsedSeconds() {
    if (!m_bHaveCounter) return -1.0;
    LONGLONG now = Now();
    double fElapsed = static_cast<double>(now - m_llLastReadCount) / static_cast<double>(m_llCounterRate);
    m_llLastReadCount = now;
    return fElapsed;
}

CKitClock* KitClock() {
    static CKitClock s_Clock;
    return &s_Clock;
}
