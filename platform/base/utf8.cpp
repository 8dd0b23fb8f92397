// UTF-8 <-> UTF-32 (wchar_t) conversion: the one converter of the platform,
// shared by the window system, the backends and the D3DX library.
#include "platform/base/utf8.h"

namespace plat {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

}  // namespace

char32_t DecodeUtf8At(std::string_view s, size_t& i, bool& ok) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int extra = 0;
    char32_t c = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        extra = 1, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        extra = 2, c = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;  // overlong
        if (b == 0xED) hi = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        extra = 3, c = b & 0x07;
        if (b == 0xF0) lo = 0x90;  // overlong
        if (b == 0xF4) hi = 0x8F;  // above U+10FFFF
    } else {
        ++i;
        ok = false;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char t = i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
        const bool fits = k == 1 ? (t >= lo && t <= hi) : (t & 0xC0) == 0x80;
        if (!fits) {
            i += k;
            ok = false;
            return kReplacement;
        }
        c = (c << 6) | (t & 0x3F);
    }
    i += extra + 1;
    return c;
}

namespace {

void EncodeOne(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8, bool* valid) {
    std::wstring out;
    out.reserve(utf8.size());
    bool ok = true;
    for (size_t i = 0; i < utf8.size();) out += static_cast<wchar_t>(DecodeUtf8At(utf8, i, ok));
    if (valid) *valid = ok;
    return out;
}

std::string WideToUtf8(std::wstring_view wide, bool* valid) {
    std::string out;
    out.reserve(wide.size());
    bool ok = true;
    for (wchar_t w : wide) {
        char32_t c = static_cast<char32_t>(w);
        if (!IsScalar(c)) {
            ok = false;
            c = kReplacement;
        }
        EncodeOne(c, out);
    }
    if (valid) *valid = ok;
    return out;
}

}  // namespace plat
