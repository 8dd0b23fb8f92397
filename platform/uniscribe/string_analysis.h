// An analysed string of the text-layout service: the caret position before
// each cluster, hit testing with leading and trailing edges, and the logical
// attributes. Text stays in logical order: x grows with the character index.
#pragma once

#include <memory>
#include <vector>

#include "platform/usp10.h"

namespace plat {

class FontEngine;

class StringAnalysis {
  public:
    // Shapes count characters with the engine's faces and segments them.
    // Throws std::bad_alloc when memory runs out.
    StringAnalysis(FontEngine& engine, const WCHAR* text, int count);

    int Chars() const { return m_chars; }
    int Width() const { return m_edgeX.empty() ? 0 : m_edgeX.back(); }
    const SCRIPT_LOGATTR* LogAttrs() const { return m_attrs.get(); }
    const int* OutChars() const { return &m_chars; }

    // x of the leading or trailing edge of the cluster holding character cp
    // (cp == Chars(): the end of the text); E_INVALIDARG outside 0..Chars().
    HRESULT CaretToX(int cp, bool trailing, int* x) const;
    // The character under x and whether its trailing half was hit; left of the
    // text (-1, 1); right of it (Chars(), 0). A trailing hit names the cluster's
    // last character, so that the caret after it is the cluster's end.
    void XToCaret(int x, int* cp, int* trailing) const;

  private:
    int m_chars = 0;
    std::vector<int> m_stops;                   // cluster starts in order, then Chars()
    std::vector<int> m_edgeX;                   // x of each entry of m_stops
    std::unique_ptr<SCRIPT_LOGATTR[]> m_attrs;  // per character
};

}  // namespace plat
