// CKitRadioButton: a check box in a group of which at most one is checked.
// Space, a click or its hot key checks it, unchecks the rest of the group and
// raises KIT_EVT_RADIO_CHANGED.
#pragma once

#include "common/kitgui/control_check_box.h"

class CKitRadioButton : public CKitCheckBox {
  public:
    explicit CKitRadioButton(CKitDialog* pDialog = nullptr);

    // Input.
    bool OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    void OnAccelKey() override;

    // Sets the state (clearing the group first when checking with bClearGroup)
    // and raises the event with the given cause.
    virtual void SetTickedInGroup(bool bTicked, bool bClearGroup, bool bUserCaused);

    void SetTicked(bool bTicked, bool bClearGroup = true) { SetTickedInGroup(bTicked, bClearGroup, false); }
    UINT GetGroup() const { return m_nGroupId; }
    void SetGroup(UINT nGroup) { m_nGroupId = nGroup; }

  protected:
    // A completed space press or click: the group is cleared, this one checked.
    void CheckByUser();

    UINT m_nGroupId = 0;  // radio group
};
