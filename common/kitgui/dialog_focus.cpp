// Keyboard focus (one control in all dialogs), events, and focus travel with
// Tab and the arrows along the ring of registered dialogs.
#include "common/kit/errors/kit_errors.h"
#include "common/kitgui/dialog.h"

void CKitDialog::FocusControl(CKitControl* pControl) {
    if (!pControl || s_pFocusedControl == pControl) return;
    if (!pControl->AcceptsFocus()) return;
    if (s_pFocusedControl) s_pFocusedControl->OnFocusLost();
    pControl->OnFocusGained();
    s_pFocusedControl = pControl;
}

void CKitDialog::DropFocus() {
    if (s_pFocusedControl) {
        s_pFocusedControl->OnFocusLost();
        s_pFocusedControl = nullptr;
    }
    ReleaseCapture();
}

void CKitDialog::FocusDefault() {
    for (int i = 0; i < m_ControlList.Length(); ++i) {
        CKitControl* pControl = m_ControlList.GetAt(i);
        if (!pControl->m_bDefault) continue;
        DropFocus();
        s_pFocusedControl = pControl;
        pControl->OnFocusGained();
        return;
    }
}

void CKitDialog::ResetControls() {
    if (s_pFocusedControl) s_pFocusedControl->OnFocusLost();
    if (m_pHoverControl) m_pHoverControl->OnPointerLeave();
    s_pFocusedControl = nullptr;
    s_pPressedControl = nullptr;
    m_pHoverControl = nullptr;
    for (int i = 0; i < m_ControlList.Length(); ++i) m_ControlList.GetAt(i)->RestoreLook();
    if (m_bKeyboardNav) FocusDefault();
}

void CKitDialog::RaiseEvent(UINT nEvent, bool bUserCaused, CKitControl* pControl) {
    if (!m_pfnEventHandler) return;
    if (!bUserCaused && !m_bAllowProgrammaticEvents) return;
    m_pfnEventHandler(nEvent, pControl->GetId(), pControl, m_pHandlerContext);
}

bool CKitDialog::OwnsFocus() const { return s_pFocusedControl && s_pFocusedControl->m_pOwner == this; }

// ---------------------------------------------------------------------------
// Focus travel

CKitControl* CKitDialog::NextInRing(CKitControl* pControl) {
    CKitDialog* pDialog = pControl->m_pOwner;
    int iIndex = pControl->m_nOrder + 1;
    // Past the end: the first control of the next dialog that has controls.
    // A broken ring that never reaches one gives the control itself back.
    for (int nSteps = 0; iIndex >= pDialog->m_ControlList.Length(); ++nSteps) {
        if (nSteps == 0xFFFF) return pControl;
        pDialog = pDialog->m_pNextInRing ? pDialog->m_pNextInRing : pControl->m_pOwner;
        iIndex = 0;
    }
    return pDialog->m_ControlList.GetAt(iIndex);
}

CKitControl* CKitDialog::PrevInRing(CKitControl* pControl) {
    CKitDialog* pDialog = pControl->m_pOwner;
    int iIndex = pControl->m_nOrder - 1;
    for (int nSteps = 0; iIndex < 0; ++nSteps) {
        if (nSteps == 0xFFFF) return pControl;
        pDialog = pDialog->m_pPrevInRing ? pDialog->m_pPrevInRing : pControl->m_pOwner;
        iIndex = pDialog->m_ControlList.Length() - 1;
    }
    return pDialog->m_ControlList.GetAt(iIndex);
}

int CKitDialog::DialogIndex(const CKitDialog* pDialog) const {
    return m_pManager ? m_pManager->Dialogs().Find(const_cast<CKitDialog*>(pDialog)) : -1;
}

CKitControl* CKitDialog::EndControl(bool bFirst) const {
    const int nControls = m_ControlList.Length();
    if (nControls == 0) return nullptr;
    return m_ControlList.GetAt(bFirst ? 0 : nControls - 1);
}

CKitControl* CKitDialog::TravelStart(bool bForward) const {
    // A dialog kept off the manager's list (a page shown on its own) travels
    // within its own ring, so it starts at its own controls.
    if (DialogIndex(this) < 0) return EndControl(bForward);
    const CGrowableArray<CKitDialog*>& dialogs = m_pManager->Dialogs();
    const int nDialogs = dialogs.Length();
    for (int n = 0; n < nDialogs; ++n)
        if (CKitControl* pControl = dialogs.GetAt(bForward ? n : nDialogs - 1 - n)->EndControl(bForward))
            return pControl;
    return nullptr;
}

bool CKitDialog::CycleFocus(bool bForward) {
    if (!m_pManager) return false;
    CKitDialog* pDialog = nullptr;
    CKitDialog* pLastDialog = nullptr;
    CKitControl* pControl = nullptr;

    if (!s_pFocusedControl) {
        pControl = TravelStart(bForward);
        if (!pControl) return true;
        pDialog = pLastDialog = pControl->m_pOwner;
    } else if (s_pFocusedControl->m_pOwner != this) {
        // That dialog handles the key.
        return false;
    } else {
        pLastDialog = this;
        pControl = bForward ? NextInRing(s_pFocusedControl) : PrevInRing(s_pFocusedControl);
        pDialog = pControl->m_pOwner;
    }

    CKitControl* const pStart = pControl;
    for (int i = 0; i < 0xFFFF; ++i) {
        const int iCurrent = DialogIndex(pDialog);
        const int iLast = DialogIndex(pLastDialog);
        // The walk wrapped around the ring: no control keeps the focus, so the
        // next Tab starts again at the first control.
        if ((bForward && iCurrent < iLast) || (!bForward && iCurrent > iLast)) {
            if (s_pFocusedControl) s_pFocusedControl->OnFocusLost();
            s_pFocusedControl = nullptr;
            return true;
        }
        if (pControl == s_pFocusedControl) return true;  // a full circle
        // Round to where a walk without focus began: no control takes the focus.
        if (i > 0 && !s_pFocusedControl && pControl == pStart) return true;
        if (pDialog->m_bKeyboardNav && pControl->AcceptsFocus()) {
            if (s_pFocusedControl) s_pFocusedControl->OnFocusLost();
            s_pFocusedControl = pControl;
            s_pFocusedControl->OnFocusGained();
            return true;
        }
        pLastDialog = pDialog;
        pControl = bForward ? NextInRing(pControl) : PrevInRing(pControl);
        pDialog = pControl->m_pOwner;
    }

    KIT_LOG_FAILURE(L"CKitDialog: Multiple dialogs are improperly chained together", E_FAIL);
    return false;
}
