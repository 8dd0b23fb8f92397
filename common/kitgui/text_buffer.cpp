// The edit box's text buffer: capacity rule, editing operations that keep the
// text terminated and within its limit, and layout queries over the
// text-layout service (the text is analysed with its terminator, so the caret
// after the last character has a position too).
#include "common/kitgui/text_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "common/kitgui/gui_types.h"
#include "common/kitgui/text_layout_service.h"

CKitTextBuffer::CKitTextBuffer(int nInitialSize) {
    KitLoadTextLayout();
    if (nInitialSize > 0) GrowTo(nInitialSize);
}

CKitTextBuffer::~CKitTextBuffer() {
    std::free(m_pwszChars);
    if (m_hAnalysis) KitTextLayout().pfnStringFree(&m_hAnalysis);
}

bool CKitTextBuffer::GrowTo(int nNewSize) {
    if (m_nBufferSize == KIT_TEXT_CAPACITY_LIMIT) return false;
    int nAllocate;
    if (nNewSize != -1 && nNewSize >= 2 * m_nBufferSize)
        nAllocate = 2 * std::min(nNewSize, KIT_TEXT_CAPACITY_LIMIT);
    else
        nAllocate = m_nBufferSize == 0 ? 256 : 2 * m_nBufferSize;
    nAllocate = std::min(nAllocate, KIT_TEXT_CAPACITY_LIMIT);

    auto* pNew = static_cast<WCHAR*>(std::calloc(size_t(nAllocate), sizeof(WCHAR)));
    if (!pNew) return false;
    if (m_pwszChars) {
        std::wmemcpy(pNew, m_pwszChars, size_t(m_nBufferSize));
        std::free(m_pwszChars);
    }
    m_pwszChars = pNew;
    m_nBufferSize = nAllocate;
    return true;
}

int CKitTextBuffer::GetTextSize() const {
    if (m_nTextLength < 0) m_nTextLength = m_pwszChars ? int(std::wcslen(m_pwszChars)) : 0;
    return m_nTextLength;
}

WCHAR& CKitTextBuffer::operator[](int n) {
    m_bReanalyse = true;
    m_nTextLength = -1;  // the caller may write a terminator
    return m_pwszChars[n];
}

void CKitTextBuffer::Empty() {
    if (m_pwszChars) m_pwszChars[0] = L'\0';
    m_nTextLength = 0;
    m_bReanalyse = true;
}

bool CKitTextBuffer::PutCharAt(int nIndex, WCHAR wChar) {
    if (!KitGuiCheck(nIndex >= 0, L"nIndex >= 0")) return false;
    const int nLength = GetTextSize();
    if (nIndex > nLength || nLength + 1 >= KIT_TEXT_CAPACITY_LIMIT) return false;
    if (nLength + 1 >= m_nBufferSize) {
        if (!GrowTo()) return false;
        if (!KitGuiCheck(m_nBufferSize >= 2, L"m_nBufferSize >= 2")) return false;
    }
    std::wmemmove(m_pwszChars + nIndex + 1, m_pwszChars + nIndex, size_t(nLength - nIndex + 1));
    m_pwszChars[nIndex] = wChar;
    m_nTextLength = nLength + 1;
    m_bReanalyse = true;
    return true;
}

bool CKitTextBuffer::DeleteCharAt(int nIndex) {
    const int nLength = GetTextSize();
    if (nLength == 0 || nIndex < 0 || nIndex >= nLength) return false;
    std::wmemmove(m_pwszChars + nIndex, m_pwszChars + nIndex + 1, size_t(nLength - nIndex));
    m_nTextLength = nLength - 1;
    m_bReanalyse = true;
    return true;
}

bool CKitTextBuffer::PutStringAt(int nIndex, const WCHAR* pStr, int nCount) {
    if (!KitGuiCheck(nIndex >= 0, L"nIndex >= 0")) return false;
    if (!pStr) return false;
    const int nLength = GetTextSize();
    if (nIndex > nLength) return false;
    if (nCount == -1) {
        const size_t nWhole = std::wcslen(pStr);
        if (nWhole >= size_t(KIT_TEXT_CAPACITY_LIMIT)) return false;
        nCount = int(nWhole);
    }
    if (nCount < 0 || nLength + nCount >= KIT_TEXT_CAPACITY_LIMIT) return false;
    if (nLength + nCount + 1 > m_nBufferSize && !GrowTo(nLength + nCount + 1)) return false;

    std::wmemmove(m_pwszChars + nIndex + nCount, m_pwszChars + nIndex, size_t(nLength - nIndex + 1));
    std::wmemcpy(m_pwszChars + nIndex, pStr, size_t(nCount));
    m_nTextLength = -1;  // the inserted characters may hold a terminator
    m_bReanalyse = true;
    return true;
}

bool CKitTextBuffer::Assign(const WCHAR* wszText) {
    if (!KitGuiCheck(wszText != nullptr, L"wszText != NULL")) return false;
    const size_t nLength = std::wcslen(wszText);
    if (nLength + 1 >= size_t(KIT_TEXT_CAPACITY_LIMIT)) return false;
    while (size_t(m_nBufferSize) < nLength + 1)
        if (!GrowTo()) return false;
    std::wmemcpy(m_pwszChars, wszText, nLength + 1);
    m_nTextLength = int(nLength);
    m_bReanalyse = true;
    return true;
}

void CKitTextBuffer::UseFont(KitFontSlot* pFontSlot) {
    if (pFontSlot != m_pFontSlot) m_bReanalyse = true;
    m_pFontSlot = pFontSlot;
}

HRESULT CKitTextBuffer::Shape() {
    const KitTextLayoutService& service = KitTextLayout();
    if (m_hAnalysis) service.pfnStringFree(&m_hAnalysis);
    m_hAnalysis = nullptr;

    SCRIPT_CONTROL control = {};
    SCRIPT_STATE state = {};
    service.pfnApplyDigitSubstitution(nullptr, &control, &state);
    if (!m_pFontSlot) return E_FAIL;

    HDC hDC = m_pFontSlot->pFont ? m_pFontSlot->pFont->GetDC() : nullptr;
    const int nLength = GetTextSize();
    const HRESULT hr = service.pfnStringAnalyse(hDC, Chars(), nLength + 1, nLength * 3 / 2 + 16, -1,
                                                SSA_BREAK | SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, &control,
                                                &state, nullptr, nullptr, nullptr, &m_hAnalysis);
    if (SUCCEEDED(hr)) m_bReanalyse = false;
    return hr;
}

HRESULT CKitTextBuffer::CaretToX(int nCP, BOOL bTrail, int* pX) {
    if (!KitGuiCheck(pX != nullptr, L"pX")) return E_INVALIDARG;
    *pX = 0;
    HRESULT hr = S_OK;
    if (m_bReanalyse) hr = Shape();
    if (FAILED(hr)) return hr;
    return KitTextLayout().pfnStringCPtoX(m_hAnalysis, nCP, bTrail, pX);
}

HRESULT CKitTextBuffer::XToCaret(int nX, int* pCP, int* pnTrail) {
    if (!KitGuiCheck(pCP && pnTrail, L"pCP && pnTrail")) return E_INVALIDARG;
    *pCP = 0;
    *pnTrail = 0;
    HRESULT hr = S_OK;
    if (m_bReanalyse) hr = Shape();
    if (FAILED(hr)) return hr;
    hr = KitTextLayout().pfnStringXtoCP(m_hAnalysis, nX, pCP, pnTrail);
    if (*pCP == -1 && *pnTrail) {
        // Left of the text: the first character's leading edge.
        *pCP = 0;
        *pnTrail = 0;
    } else if (*pCP > GetTextSize() && !*pnTrail) {
        // Right of the text: after the last character.
        *pCP = GetTextSize();
        *pnTrail = 1;
    }
    return hr;
}

bool CKitTextBuffer::LogAttrs(const SCRIPT_LOGATTR** ppAttr, int* pnCount) {
    if (m_bReanalyse && FAILED(Shape())) return false;
    const KitTextLayoutService& service = KitTextLayout();
    *ppAttr = service.pfnStringLogAttr(m_hAnalysis);
    const int* pnChars = service.pfnStringOutChars(m_hAnalysis);
    if (!*ppAttr || !pnChars) return false;
    *pnCount = *pnChars;
    return true;
}

void CKitTextBuffer::PrevWordStop(int nCP, int* pPrior) {
    *pPrior = nCP;
    const SCRIPT_LOGATTR* pAttr = nullptr;
    int nCount = 0;
    if (!LogAttrs(&pAttr, &nCount)) return;
    // A word stop, or the first character after white space.
    int nInitial = std::min(nCP - 1, nCount - 1);  // the last attribute is at count - 1
    for (int i = nInitial; i > 0; --i) {
        if (pAttr[i].fWordStop || (!pAttr[i].fWhiteSpace && pAttr[i - 1].fWhiteSpace)) {
            *pPrior = i;
            return;
        }
    }
    *pPrior = 0;
}

void CKitTextBuffer::NextWordStop(int nCP, int* pNext) {
    *pNext = nCP;
    const SCRIPT_LOGATTR* pAttr = nullptr;
    int nCount = 0;
    if (!LogAttrs(&pAttr, &nCount)) return;
    int nInitial = std::min(nCP + 1, nCount);
    for (int i = nInitial; i < nCount - 1; ++i) {
        if (pAttr[i].fWordStop) {
            *pNext = i;
            return;
        }
        if (pAttr[i].fWhiteSpace && !pAttr[i + 1].fWhiteSpace) {
            *pNext = i + 1;
            return;
        }
    }
    *pNext = nCount - 1;
}

namespace {

bool IsHighSurrogate(WCHAR c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(WCHAR c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

bool CKitTextBuffer::SplitsPair(int nCP) const {
    const int nLength = GetTextSize();
    return nCP > 0 && nCP < nLength && IsHighSurrogate(m_pwszChars[nCP - 1]) &&
           IsLowSurrogate(m_pwszChars[nCP]);
}

int CKitTextBuffer::PrevCharStop(int nCP) {
    if (nCP <= 0) return 0;
    const SCRIPT_LOGATTR* pAttr = nullptr;
    int nCount = 0;
    // Without stops: one character, a surrogate pair counting as one.
    if (!LogAttrs(&pAttr, &nCount) || nCP > nCount) return SplitsPair(nCP - 1) ? nCP - 2 : nCP - 1;
    int i = nCP - 1;
    while (i > 0 && !pAttr[i].fCharStop) --i;
    return i;
}

int CKitTextBuffer::NextCharStop(int nCP) {
    const int nLength = GetTextSize();
    if (nCP >= nLength) return nLength;
    const SCRIPT_LOGATTR* pAttr = nullptr;
    int nCount = 0;
    if (!LogAttrs(&pAttr, &nCount) || nCount < nLength) return SplitsPair(nCP + 1) ? nCP + 2 : nCP + 1;
    int i = nCP + 1;
    while (i < nLength && !pAttr[i].fCharStop) ++i;
    return i;
}
