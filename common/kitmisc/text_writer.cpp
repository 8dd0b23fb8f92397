// CKitTextWriter: lines of text at a moving insertion point.
#include "common/kitmisc/text_writer.h"

#include <cstdarg>

#include "common/kit/errors/kit_errors.h"

namespace {

constexpr int kFormatChars = 512;  // room for formatted lines, terminator included

void FormatLine(WCHAR (&strBuffer)[kFormatChars], const WCHAR* strFormat, va_list args) {
    // Text that does not fit is cut; the buffer always ends in a terminator.
    StringCchVPrintfW(strBuffer, kFormatChars, strFormat, args);
    strBuffer[kFormatChars - 1] = L'\0';
}

}  // namespace

CKitTextWriter::CKitTextWriter(ID3DXFont* pFont, ID3DXSprite* pSprite, int nLineStep)
    : m_pWriterFont(pFont),
      m_pWriterSprite(pSprite),
      m_clrText(1.0f, 1.0f, 1.0f, 1.0f),
      m_ptCursor{0, 0},
      m_nLineStep(nLineStep) {}

void CKitTextWriter::BeginText() {
    if (m_pWriterSprite != nullptr) m_pWriterSprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE);
}

void CKitTextWriter::EndText() {
    if (m_pWriterSprite != nullptr) m_pWriterSprite->End();
}

HRESULT CKitTextWriter::DrawTextLine(const WCHAR* strMsg) {
    return DrawLine(RECT{m_ptCursor.x, m_ptCursor.y, 0, 0}, DT_NOCLIP, strMsg);
}

HRESULT CKitTextWriter::DrawTextLineFormatted(const WCHAR* strFormat, ...) {
    WCHAR strBuffer[kFormatChars];
    va_list args;
    va_start(args, strFormat);
    FormatLine(strBuffer, strFormat, args);
    va_end(args);
    return DrawTextLine(strBuffer);
}

HRESULT CKitTextWriter::DrawTextLineIn(const RECT& rc, DWORD dwFlags, const WCHAR* strMsg) {
    return DrawLine(rc, dwFlags, strMsg);
}

HRESULT CKitTextWriter::DrawTextLineInFormatted(const RECT& rc, DWORD dwFlags, const WCHAR* strFormat, ...) {
    WCHAR strBuffer[kFormatChars];
    va_list args;
    va_start(args, strFormat);
    FormatLine(strBuffer, strFormat, args);
    va_end(args);
    return DrawTextLineIn(rc, dwFlags, strBuffer);
}

HRESULT CKitTextWriter::DrawLine(RECT rc, DWORD dwFlags, const WCHAR* strMsg) {
    if (m_pWriterFont == nullptr || strMsg == nullptr)
        return KIT_LOG_FAILURE_POPUP(L"DrawTextLine", E_INVALIDARG);

    // The font reports the drawn height, 0 when it could not draw; an empty
    // line legitimately has no height.
    const INT nHeight = m_pWriterFont->DrawText(m_pWriterSprite, strMsg, -1, &rc, dwFlags, m_clrText);
    if (nHeight == 0 && strMsg[0] != L'\0') return KIT_LOG_FAILURE(L"DrawText", E_FAIL);

    m_ptCursor.y += m_nLineStep;
    return S_OK;
}
