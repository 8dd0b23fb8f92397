// Tokeniser for the text .x format. Every read checks the position against
// the end of the span; malformed input yields an Error token, never a read
// past the end.
#include "platform/d3dx9/xfile_lexer.h"

#include <charconv>
#include <cmath>
#include <string>

namespace plat {
namespace {

bool IsWordChar(uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '+' || c == '.';
}

// A whole word as a number: optional sign, digits, optional fraction and
// exponent. Returns false when the word is not exactly one number.
bool ParseNumber(std::string_view word, double* out, bool* isInteger) {
    if (word.empty()) return false;
    if (word.front() == '+') word.remove_prefix(1);
    if (word.empty() || word.front() == '+') return false;
    const char first = word.front() == '-' && word.size() > 1 ? word[1] : word.front();
    if (!((first >= '0' && first <= '9') || first == '.')) return false;
    double v = 0;
    const auto [end, ec] =
        std::from_chars(word.data(), word.data() + word.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(v)) return false;
    *out = v;
    *isInteger = word.find_first_of(".eE") == std::string_view::npos;
    return true;
}

}  // namespace

void XLexer::SkipSpaceAndComments() {
    while (m_nPos < m_nSize) {
        const uint8_t c = m_pData[m_nPos];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++m_nPos;
        } else if (c == '#' || (c == '/' && m_nPos + 1 < m_nSize && m_pData[m_nPos + 1] == '/')) {
            while (m_nPos < m_nSize && m_pData[m_nPos] != '\n') ++m_nPos;
        } else {
            break;
        }
    }
}

XToken XLexer::Peek() {
    const size_t saved = m_nPos;
    const std::string_view text = m_Text;
    const double number = m_fNumber;
    const XToken t = Scan();
    m_nPos = saved;
    m_Text = text;
    m_fNumber = number;
    return t;
}

XToken XLexer::Next() { return Scan(); }

XToken XLexer::Scan() {
    SkipSpaceAndComments();
    m_Text = {};
    if (m_nPos >= m_nSize) return XToken::End;
    const char* base = reinterpret_cast<const char*>(m_pData);
    const size_t start = m_nPos;
    const uint8_t c = m_pData[m_nPos];
    switch (c) {
        case '{':
            ++m_nPos;
            return XToken::LBrace;
        case '}':
            ++m_nPos;
            return XToken::RBrace;
        case ';':
            ++m_nPos;
            return XToken::Semicolon;
        case ',':
            ++m_nPos;
            return XToken::Comma;
        case '"': {
            ++m_nPos;
            while (m_nPos < m_nSize && m_pData[m_nPos] != '"') ++m_nPos;
            if (m_nPos >= m_nSize) return XToken::Error;  // unterminated string
            m_Text = std::string_view(base + start + 1, m_nPos - start - 1);
            ++m_nPos;
            return XToken::String;
        }
        case '<': {
            ++m_nPos;
            while (m_nPos < m_nSize && m_pData[m_nPos] != '>') ++m_nPos;
            if (m_nPos >= m_nSize) return XToken::Error;
            m_Text = std::string_view(base + start + 1, m_nPos - start - 1);
            ++m_nPos;
            return XToken::Guid;
        }
        default:
            break;
    }
    if (!IsWordChar(c)) {
        ++m_nPos;
        return XToken::Error;
    }
    while (m_nPos < m_nSize && IsWordChar(m_pData[m_nPos])) ++m_nPos;
    m_Text = std::string_view(base + start, m_nPos - start);
    bool isInteger = false;
    if (ParseNumber(m_Text, &m_fNumber, &isInteger)) return isInteger ? XToken::Integer : XToken::Float;
    return XToken::Name;
}

}  // namespace plat
