// Escaping control bytes and malformed UTF-8 for messages that quote outside text.
#include "platform/base/printable_text.h"

#include "platform/base/utf8.h"

namespace plat {

namespace {

void AppendEscaped(std::string_view bytes, std::string& out) {
    static const char kHex[] = "0123456789ABCDEF";
    for (const char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
}

std::string Escape(std::string_view text, bool keepLineFeeds) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        const unsigned char first = static_cast<unsigned char>(text[i]);
        if (first >= 0x20 && first < 0x7F) {  // printable ASCII, the common case
            out += text[i++];
            continue;
        }
        bool ok = true;
        const char32_t c = DecodeUtf8At(text, i, ok);
        const std::string_view sequence = text.substr(start, i - start);
        if (keepLineFeeds && c == U'\n')
            out += '\n';
        else if (!ok || c < 0x20 || (c >= 0x7F && c <= 0x9F))
            AppendEscaped(sequence, out);
        else
            out += sequence;
    }
    return out;
}

}  // namespace

std::string PrintableText(std::string_view text) { return Escape(text, false); }

std::string PrintableLines(std::string_view text) { return Escape(text, true); }

}  // namespace plat
