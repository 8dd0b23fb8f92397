// Frame-rate bookkeeping and the composed statistics texts.

#include "common/kit/time/kit_frame_stats.h"

#include "common/kit/base/kit_clock.h"
#include "common/kit/state/kit_state.h"

void KitTickFrameStats() {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bNoStats)) return;

    double fAbsTime = KitClock()->AbsoluteSeconds();
    KitStateLock lock;
    if (s.m_fLastStatsTime <= 0.0) {
        // No measurement under way yet (start, or after a power resume): the
        // clock counts from boot, so begin one now instead of averaging the
        // frames since time 0.
        s.m_fLastStatsTime = fAbsTime;
        s.m_nStatsFrames = 0;
        return;
    }
    s.m_nStatsFrames++;
    double fSinceUpdate = fAbsTime - s.m_fLastStatsTime;
    if (fSinceUpdate > 1.0) {
        s.m_fFPS = static_cast<float>(s.m_nStatsFrames / fSinceUpdate);
        s.m_fLastStatsTime = fAbsTime;
        s.m_nStatsFrames = 0;
        StringCchPrintfW(s.m_szFPS, 64, L"%0.2f fps ", static_cast<double>(s.m_fFPS));
    }
}

const WCHAR* KitFrameStatsText(bool bIncludeFPS) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    // The settings text holds one %ls slot for the frame rate.
    StringCchPrintfW(s.m_szFrameStats, 256, s.m_szStaticStats, bIncludeFPS ? s.m_szFPS : L"");
    return s.m_szFrameStats;
}

const WCHAR* KitDeviceStatsText() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return s.m_szDeviceStats;
}
