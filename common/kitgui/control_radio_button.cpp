// The radio button: input (space, mouse, hot key) and the group rule. Its
// geometry and drawing are the check box's.
#include "common/kitgui/control_radio_button.h"

#include "common/kitgui/dialog.h"

CKitRadioButton::CKitRadioButton(CKitDialog* pDialog) : CKitCheckBox(pDialog) {
    m_eKind = KIT_KIND_RADIOBUTTON;
}

// ---------------------------------------------------------------------------
// Input

void CKitRadioButton::CheckByUser() {
    // Every button of the group, this one included, is unchecked as a program
    // action; toggling this one then leaves it checked.
    m_pOwner->UncheckRadioGroup(m_nGroupId);
    m_bTicked = !m_bTicked;
    m_pOwner->RaiseEvent(KIT_EVT_RADIO_CHANGED, true, this);
}

bool CKitRadioButton::OnKey(UINT uMsg, WPARAM wParam, LPARAM) {
    bool bCompleted = false;
    const bool bConsumed = TrackKeyPress(uMsg, wParam, &bCompleted);
    if (bCompleted) CheckByUser();
    return bConsumed;
}

bool CKitRadioButton::OnPointer(UINT uMsg, POINT pt, WPARAM, LPARAM) {
    bool bCompleted = false;
    const bool bConsumed = TrackPointerPress(uMsg, pt, &bCompleted);
    if (bCompleted) CheckByUser();
    return bConsumed;
}

void CKitRadioButton::OnAccelKey() {
    if (m_pOwner->KeyboardNav()) m_pOwner->FocusControl(this);
    SetTickedInGroup(true, true, true);
}

void CKitRadioButton::SetTickedInGroup(bool bTicked, bool bClearGroup, bool bUserCaused) {
    if (bTicked && bClearGroup) m_pOwner->UncheckRadioGroup(m_nGroupId);
    m_bTicked = bTicked;
    m_pOwner->RaiseEvent(KIT_EVT_RADIO_CHANGED, bUserCaused, this);
}
