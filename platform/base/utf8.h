// UTF-8 <-> UTF-32 (wchar_t) conversion shared by the window system, the
// backends and the D3DX library (clipboard, registry file, paths, fonts).
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Malformed input (bad bytes, surrogates, values above U+10FFFF) becomes
// U+FFFD; `valid`, when given, is set to false if that happened.
std::wstring Utf8ToWide(std::string_view utf8, bool* valid = nullptr);
std::string WideToUtf8(std::wstring_view wide, bool* valid = nullptr);

// Decodes the sequence at utf8[i] (i < size) and moves i past it. A malformed
// sequence gives U+FFFD, moves i past its longest valid start (at least one
// byte) and sets `ok` to false; a well-formed one leaves `ok` as it was.
char32_t DecodeUtf8At(std::string_view utf8, size_t& i, bool& ok);

}  // namespace plat
