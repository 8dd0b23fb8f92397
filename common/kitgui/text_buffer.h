// CKitTextBuffer: the edit box's text — a growable zero-terminated wide string
// of at most 65,534 characters — and its layout through the text-layout
// service: caret x positions, hit tests, cluster and word stops.
#pragma once

#include "common/kitgui/dialog_resource_manager.h"
#include "platform/usp10.h"
#include "platform/win32.h"

#define KIT_TEXT_CAPACITY_LIMIT 65535  // characters, terminator included

class CKitTextBuffer {
  public:
    explicit CKitTextBuffer(int nInitialSize = 1);
    ~CKitTextBuffer();
    CKitTextBuffer(const CKitTextBuffer&) = delete;
    CKitTextBuffer& operator=(const CKitTextBuffer&) = delete;

    bool GrowTo(int nNewSize = -1);
    int GetBufferSize() const { return m_nBufferSize; }
    int GetTextSize() const;
    // Writable access to one character; the layout becomes stale.
    WCHAR& operator[](int n);
    void Empty();
    const WCHAR* Chars() const { return m_pwszChars ? m_pwszChars : L""; }

    bool PutCharAt(int nIndex, WCHAR wChar);
    bool DeleteCharAt(int nIndex);
    bool PutStringAt(int nIndex, const WCHAR* pStr, int nCount = -1);
    bool Assign(const WCHAR* wszText);

    void UseFont(KitFontSlot* pFontSlot);
    HRESULT Shape();
    HRESULT CaretToX(int nCP, BOOL bTrail, int* pX);
    HRESULT XToCaret(int nX, int* pCP, int* pnTrail);
    void PrevWordStop(int nCP, int* pPrior);
    void NextWordStop(int nCP, int* pNext);
    // The caret stop before / after a position, never inside a cluster; one
    // character (a surrogate pair as one) when the layout gives no stops.
    int PrevCharStop(int nCP);
    int NextCharStop(int nCP);
    // A position between the two halves of a surrogate pair.
    bool SplitsPair(int nCP) const;

  private:
    // The logical attributes and their count, re-shaping if stale; false when there are none.
    bool LogAttrs(const SCRIPT_LOGATTR** ppAttr, int* pnCount);

    WCHAR* m_pwszChars = nullptr;             // zero-terminated text
    int m_nBufferSize = 0;                    // capacity in characters, terminator included
    KitFontSlot* m_pFontSlot = nullptr;       // font used for layout
    bool m_bReanalyse = true;                 // the layout is stale
    SCRIPT_STRING_ANALYSIS m_hAnalysis = {};  // result of the last layout
    mutable int m_nTextLength = 0;            // characters before the terminator; -1: count again
};
