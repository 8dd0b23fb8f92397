// Tokens of the text .x format: names, numbers, strings, GUIDs and the
// punctuation { } ; , — read from a byte span that is never read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plat {

enum class XToken { End, Error, Name, Integer, Float, String, Guid, LBrace, RBrace, Semicolon, Comma };

class XLexer {
  public:
    XLexer(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}

    // Reads the next token; text() and the number accessors describe it.
    XToken Next();
    XToken Peek();  // the next token without consuming it

    std::string_view text() const { return m_Text; }
    double number() const { return m_fNumber; }  // Integer and Float tokens
    size_t remaining() const { return m_nSize - m_nPos; }
    size_t position() const { return m_nPos; }
    void Seek(size_t pos) { m_nPos = pos < m_nSize ? pos : m_nSize; }

  private:
    void SkipSpaceAndComments();
    XToken Scan();

    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
    std::string_view m_Text;
    double m_fNumber = 0;
};

}  // namespace plat
