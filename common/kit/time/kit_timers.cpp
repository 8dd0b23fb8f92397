// Pause counting and the timer list.
#include "common/kit/time/kit_timers.h"

#include <new>

#include "common/kit/base/kit_clock.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_state.h"

void KitSuspend(bool bPauseTime, bool bPauseRendering) {
    CKitCoreState& s = KitCore();
    int nTimeCount;
    {
        KitStateLock lock;
        s.m_nPauseTimeCount += bPauseTime ? +1 : -1;
        if (s.m_nPauseTimeCount < 0) s.m_nPauseTimeCount = 0;
        s.m_nPauseRenderingCount += bPauseRendering ? +1 : -1;
        if (s.m_nPauseRenderingCount < 0) s.m_nPauseRenderingCount = 0;
        nTimeCount = s.m_nPauseTimeCount;
        s.m_bTimePaused = s.m_nPauseTimeCount > 0;
        s.m_bRenderingPaused = s.m_nPauseRenderingCount > 0;
    }
    if (nTimeCount > 0)
        KitClock()->Halt();
    else
        KitClock()->Resume();
}

HRESULT KitSetTimer(KitTimerFn pCallbackTimer, float fTimeoutInSecs, UINT* pnIDEvent,
                    void* pCallbackUserContext) {
    if (pCallbackTimer == nullptr) return KIT_LOG_FAILURE_POPUP(L"KitSetTimer", E_INVALIDARG);

    CKitCoreState& s = KitCore();
    KitStateLock lock;
    if (s.m_pTimers == nullptr) {
        s.m_pTimers = new (std::nothrow) CGrowableArray<KitTimerRecord>;
        if (s.m_pTimers == nullptr) return E_OUTOFMEMORY;
    }

    KitTimerRecord timer;
    timer.pCallback = pCallbackTimer;
    timer.pCallbackUserContext = pCallbackUserContext;
    timer.fTimeoutInSecs = fTimeoutInSecs;
    timer.fCountdown = fTimeoutInSecs;
    timer.bEnabled = true;
    HRESULT hr = s.m_pTimers->Add(timer);
    if (FAILED(hr)) return hr;

    if (pnIDEvent != nullptr) *pnIDEvent = static_cast<UINT>(s.m_pTimers->Length() - 1);
    return S_OK;
}

HRESULT KitKillTimer(UINT nIDEvent) {
    CKitCoreState& s = KitCore();
    {
        KitStateLock lock;
        if (s.m_pTimers == nullptr) return S_FALSE;
        if (nIDEvent < static_cast<UINT>(s.m_pTimers->Length())) {
            s.m_pTimers->GetAt(static_cast<int>(nIDEvent)).bEnabled = false;
            return S_OK;
        }
    }
    return KIT_LOG_FAILURE_POPUP(L"KitKillTimer", E_INVALIDARG);
}

void KitRunTimers() {
    CKitCoreState& s = KitCore();
    float fElapsed = s.Get(&CKitCoreState::m_fElapsed);
    int nTimers;
    {
        KitStateLock lock;
        nTimers = s.m_pTimers != nullptr ? s.m_pTimers->Length() : 0;
    }
    // The list may grow while a callback runs (a timer setting another); the
    // new timers start counting at the next frame.
    for (int i = 0; i < nTimers; ++i) {
        KitTimerRecord timer;
        {
            KitStateLock lock;
            timer = s.m_pTimers->GetAt(i);
        }
        if (!timer.bEnabled) continue;

        timer.fCountdown -= fElapsed;
        bool bFire = timer.fCountdown < 0;
        if (bFire) timer.fCountdown = timer.fTimeoutInSecs;
        {
            // Only the countdown goes back: a callback may have killed the timer.
            KitStateLock lock;
            s.m_pTimers->GetAt(i).fCountdown = timer.fCountdown;
        }
        if (bFire) timer.pCallback(static_cast<UINT>(i), timer.pCallbackUserContext);
    }
}
