// Puts the framework state's switches, overrides, counters and texts back to
// their start values between tests (the state lives for the whole process).
#pragma once

#include "kit/kit_state.h"

namespace kittest {

inline void ResetCoreState() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    delete s.m_pCurrentSetup;
    s.m_pCurrentSetup = nullptr;
    s.m_hWndFocus = s.m_hWndFullScreen = s.m_hWndWindowed = nullptr;
    s.m_fTime = 0.0;
    s.m_fElapsed = 0.0f;
    s.m_fLastStatsTime = 0.0;
    s.m_nStatsFrames = 0;
    s.m_fFPS = 0.0f;
    s.m_bShowErrorBoxes = true;
    s.m_bKeysAllowed = false;
    s.m_bAllowKeysFullScreen = false;
    s.m_bAllowKeysWindowed = true;
    s.m_bInited = false;
    s.m_bInitCalled = false;
    s.m_bHandleDefaultHotkeys = false;
    s.m_bHandleAltEnter = false;
    s.m_bNoStats = false;
    s.m_bFixedFrameTime = false;
    s.m_fFixedFrameTime = 0.0f;
    s.m_nExitCode = 0;
    s.m_bTimePaused = s.m_bRenderingPaused = false;
    s.m_nPauseRenderingCount = s.m_nPauseTimeCount = 0;
    s.m_bAutomation = false;
    s.m_nOverrideAdapter = -1;
    s.m_bOverrideWindowed = s.m_bOverrideFullScreen = false;
    s.m_nOverrideStartX = s.m_nOverrideStartY = -1;
    s.m_nOverrideWidth = s.m_nOverrideHeight = 0;
    s.m_bOverrideForceHAL = s.m_bOverrideForceREF = false;
    s.m_bOverrideForcePureHWVP = s.m_bOverrideForceHWVP = s.m_bOverrideForceSWVP = false;
    s.m_bOverrideFixedFrameTime = false;
    s.m_fOverrideFixedFrameTime = 0.0f;
    s.m_nOverrideQuitAfterFrame = 0;
    s.m_nOverrideForceVsync = -1;
    s.m_bRelaunchMediaCenter = false;
    for (bool& key : s.m_Keys) key = false;
    for (bool& button : s.m_MouseButtons) button = false;
    delete s.m_pTimers;
    s.m_pTimers = nullptr;
    s.m_szStaticStats[0] = s.m_szFPS[0] = s.m_szFrameStats[0] = s.m_szDeviceStats[0] = s.m_szWindowTitle[0] = L'\0';
}

}  // namespace kittest
